// SPDX-License-Identifier: MIT
#include "navigator/BuildLog.h"
#include "navigator/BuildOutputView.h"
#include "navigator/ProjectFiles.h"
#include "tests/navigator/WindowTestSupport.h"
#include "tests/uploader/FakeMonitor.h"
#include "tests/uploader/TestImage.h"

#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSerialPort>
#include <QToolButton>

class NavigatorWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startsEmpty();
    void showsProject_data();
    void showsProject();
    void showsInheritedEnvironment_data();
    void showsInheritedEnvironment();
    void buildRunsMakeInProjectDirectory_data();
    void buildRunsMakeInProjectDirectory();
    void buildShowsOutputAsItComes();
    void outputKeptWithinBounds_data();
    void outputKeptWithinBounds();
    void buildFailsToStart_data();
    void buildFailsToStart();
    void buildDisabledWithoutProject_data();
    void buildDisabledWithoutProject();
    void stopsRunningBuild_data();
    void stopsRunningBuild();
    void uploadOutcomes_data();
    void uploadOutcomes();
    void serialMonitorTalksAndYieldsToUpload();
    void portRememberedPerProject();

private:
    navtest::TemporarySettings m_settings;
};

using namespace navtest;

namespace {

constexpr int uploadTimeoutMs = 20000;

// The window is ready for the next command, and shows no upload.
bool readyAfterUpload(const NavigatorWindow &window)
{
    const auto *pane = child<QWidget>(window, "uploadPane");
    return window.uploadAction()->isEnabled() && window.buildAction()->isEnabled() && pane &&
           pane->isHidden();
}

// A board's profile, and how the fake monitor answers as that board.
struct Board
{
    FakeMonitor::Options monitor;
    QByteArray profile;
};

Board boardOfKind(const QString &kind)
{
    if (kind == QLatin1String("68000"))
        return {{FakeMonitor::Kind::M68000, 9600, 0, 0x3FFFF},
                "board=Palmor\nmonitor=68000\nbaud=9600\nrecords=S2\nflash=0x000000-0x01FFFF\n"};
    return {{FakeMonitor::Kind::Cpu32, 115200, 0x40000, 0x7FFFF},
            "board=Vessik\nmonitor=cpu32\nbaud=115200\nrecords=S3\nflash=0x040000-0x07FFFF\n"};
}

// An installation root holding the pack "testpack" with profile, and a project
// whose Makefile names it, ends with makeStatus and leaves image behind.
struct UploadProject
{
    UploadProject(const QByteArray &profile, const QByteArray &image, int makeStatus = 0)
        : directory(makeProject(dir, "PACK := testpack\nall:\n\t@echo made\n\t@exit " +
                                         std::to_string(makeStatus) + "\n")),
          qprj("QPRJ", QByteArray::fromStdString(dir.file("root")))
    {
        valid = !directory.empty() && makeEntry(dir, "root/") && makeEntry(dir, "root/testpack/") &&
                makeEntry(dir, "root/testpack/lib/") &&
                (profile.isNull() ||
                 writeBytes(dir.file("root/testpack/lib/board.profile"), profile.toStdString())) &&
                writeBytes(imageFileForDirectory(directory), image.toStdString());
    }

    TempDir dir;
    std::string directory;
    ScopedEnvironmentVariable qprj;
    bool valid = false;
};

// Opens the project in a shown, active window, with port chosen.
bool openForUpload(NavigatorWindow &window, const UploadProject &project, const QString &port)
{
    auto *ports = child<QComboBox>(window, "portCombo");
    if (!showActive(window, project.directory + "/robot.proj") || !ports)
        return false;
    ports->setEditText(port);
    return true;
}

} // namespace

void NavigatorWindowTest::initTestCase()
{
    QVERIFY(m_settings.isValid());
}

void NavigatorWindowTest::startsEmpty()
{
    const NavigatorWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Navigator"));
    QVERIFY(!window.windowIcon().pixmap(32).isNull());
    QCOMPARE(labelText(window, "statusLabel"), QStringLiteral("No project open"));
    QCOMPARE(labelText(window, "projectNameLabel"), QString());
    QVERIFY(sourceItems(window).isEmpty());
}

void NavigatorWindowTest::showsProject_data()
{
    using Names = std::vector<std::string>;
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<Names>("files"); // in the project directory
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QString>("status");

    const auto row = [](const char *tag, const QByteArray &contents, const Names &files,
                        const QString &title, const QString &name, const QStringList &sources,
                        const char *status) {
        QTest::newRow(tag) << contents << files << title << name << sources << status;
    };
    row("valid project",
        projectTag + "name=mon robot\nsource=crt0.s\nsource=moteur \xc3\xa0 gauche.c\n",
        {"crt0.s", "moteur \xc3\xa0 gauche.c"}, "Navigator \u2014 mon robot", "mon robot",
        {"crt0.s", "moteur \u00e0 gauche.c"}, "2 sources, 0 headers");
    // The folder is what the Makefile builds, whatever the project file held.
    row("sources listed from the folder", projectTag + "name=robot\nsource=removed.c\n",
        {"main.c", "motor.cpp", "boot.S", "wheels.cc", "crt0.s", "motor.h", "board.hpp",
         "notes.txt", "Makefile"},
        "Navigator \u2014 robot", "robot",
        {"board.hpp", "boot.S", "crt0.s", "main.c", "motor.cpp", "motor.h", "wheels.cc"},
        "5 sources, 2 headers");
    row("one source, one header", projectTag + "name=robot\n", {"main.c", "main.h"},
        "Navigator \u2014 robot", "robot", {"main.c", "main.h"}, "1 source, 1 header");
    row("markup shown as text", projectTag + "name=<b>robot</b>\n", {},
        "Navigator \u2014 <b>robot</b>", "<b>robot</b>", {}, "0 sources, 0 headers");
    row("control characters shown, not acted on", projectTag + "name=robot\\narm\tx\x1b\xc2\x85\n",
        {}, "Navigator \u2014 robot\\narm\\tx\\x1b\\u0085", "robot\\narm\\tx\\x1b\\u0085", {},
        "0 sources, 0 headers");
    // Cut before it is laid out: a window title, a label and a tooltip of
    // megabytes take the window tens of seconds.
    row("name of four megabytes", projectTag + "name=" + QByteArray(4 << 20, 'x') + "\n", {},
        "Navigator \u2014 " + QString(100, 'x') + QChar(0x2026), QString(1000, 'x') + QChar(0x2026),
        {}, "0 sources, 0 headers");
    row("not a project file", "all: robot\n", {"main.c"}, "Navigator", QString(), {},
        "Cannot open the project: '%1' is not a valid project file: line 1: not a navigator "
        "project file");
}

void NavigatorWindowTest::showsProject()
{
    QFETCH(QByteArray, contents);
    QFETCH(std::vector<std::string>, files);
    QFETCH(QString, title);
    QFETCH(QString, name);
    QFETCH(QStringList, sources);
    QFETCH(QString, status);

    const TempDir dir;
    QCOMPARE(::mkdir(dir.file("earlier").c_str(), 0777), 0);
    const std::string earlier = dir.file("earlier/earlier.proj");
    const std::string path = dir.file("robot.proj");
    QVERIFY(writeBytes(earlier, (projectTag + "name=e\nsource=e.c\n").toStdString()));
    QVERIFY(writeBytes(dir.file("earlier/e.c"), ""));
    QVERIFY(writeBytes(path, contents.toStdString()));
    for (const std::string &file : files)
        QVERIFY(writeBytes(dir.file(file), ""));

    // Opening after another project replaces everything it showed.
    NavigatorWindow window;
    window.openProject(earlier);
    QCOMPARE(sourceItems(window), QStringList{"e.c"});
    window.openProject(path);
    const QString shownPath = QFile::decodeName(path.c_str());
    QCOMPARE(window.windowTitle(), title);
    QCOMPARE(labelText(window, "projectFileLabel"), shownPath);
    QCOMPARE(labelText(window, "projectNameLabel"), name);
    QCOMPARE(sourceItems(window), sources);
    QCOMPARE(labelText(window, "statusLabel"), status.replace(QStringLiteral("%1"), shownPath));
    for (const char *labelName : {"projectFileLabel", "projectNameLabel"}) {
        const auto *label = child<QLabel>(window, labelName);
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <=
                label->contentsRect().width());
    }
}

void NavigatorWindowTest::showsInheritedEnvironment_data()
{
    // Null: the variable is not set.
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("makeMode");
    QTest::addColumn<QByteArray>("qprj");

    QTest::newRow("set, with spaces, accents and shell characters")
        << QByteArray("/opt/Quellix \xc3\xa9/SN451/bin:/usr/bin") << QByteArray("UNIX")
        << QByteArray("/opt/Quellix \xc3\xa9/$(rm -rf ~) `id`");
    QTest::newRow("not set") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("set but empty") << QByteArray("") << QByteArray("") << QByteArray("");
}

void NavigatorWindowTest::showsInheritedEnvironment()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, makeMode);
    QFETCH(QByteArray, qprj);

    std::vector<std::pair<const char *, QByteArray>> variables = {
        {"PATH", path}, {"MAKE_MODE", makeMode}, {"QPRJ", qprj}};
    std::vector<std::unique_ptr<ScopedEnvironmentVariable>> environment;
    for (const auto &[name, value] : variables)
        environment.push_back(std::make_unique<ScopedEnvironmentVariable>(name, value));
    const NavigatorWindow window;
    environment.clear();

    for (const auto &[name, value] : variables) {
        const auto *view =
            window.findChild<QLineEdit *>(QStringLiteral("env_") + QLatin1String(name));
        QVERIFY2(view, name);
        QVERIFY(view->isReadOnly());
        QCOMPARE(view->text(), QString::fromUtf8(value));
        QCOMPARE(view->placeholderText(), value.isNull() ? QStringLiteral("(not set)") : QString());
    }
}

void NavigatorWindowTest::buildRunsMakeInProjectDirectory_data()
{
    QTest::addColumn<QString>("command"); // the button
    QTest::addColumn<int>("recipeStatus");
    QTest::addColumn<bool>("writesImage");
    QTest::addColumn<QString>("output"); // part of it
    QTest::addColumn<QString>("ending"); // the last lines; %1 is the project directory
    QTest::addColumn<bool>("made");      // made.txt there afterwards

    const QString environment =
        QStringLiteral("MAKE_MODE=UNIX\nQPRJ=/opt/Quellix \u00e9/$(touch pwned) `touch pwned`\n");
    const QString image =
        QStringLiteral("\nImage: %1/robot \u00e9 $(touch pwned) `touch pwned`; x.s37 (17 bytes)");
    const auto row = [](const char *name, const char *command, int status, bool writesImage,
                        const QString &output, const QString &ending, bool made) {
        QTest::newRow(name) << command << status << writesImage << output << ending << made;
    };
    row("build writes the image", "buildButton", 0, true, environment, "\nBuild finished" + image,
        true);
    row("build writes no image", "buildButton", 0, false, environment, "\nBuild finished", true);
    row("build fails: its image not reported", "buildButton", 2, true, environment,
        "\nBuild failed (exit status 2)", true);
    row("clean", "cleanButton", 0, false, "cleaning\n", "\nClean finished", false);
    row("clean fails", "cleanButton", 2, false, "cleaning\n", "\nClean failed (exit status 2)",
        false);
}

void NavigatorWindowTest::buildRunsMakeInProjectDirectory()
{
    QFETCH(QString, command);
    QFETCH(int, recipeStatus);
    QFETCH(bool, writesImage);
    QFETCH(QString, output);
    QFETCH(QString, ending);
    QFETCH(bool, made);

    const ScopedEnvironmentVariable makeMode("MAKE_MODE", "UNIX");
    const ScopedEnvironmentVariable qprj("QPRJ",
                                         "/opt/Quellix \xc3\xa9/$(touch pwned) `touch pwned`");
    const TempDir dir;
    const std::string exit = "\t@exit " + std::to_string(recipeStatus) + "\n";
    const std::string project = makeProject(
        dir, "all:\n"
             "\t@printf '%s\\n' \"MAKE_MODE=$$MAKE_MODE\" \"QPRJ=$$QPRJ\"\n"
             "\t@echo built > made.txt\n" +
                 std::string(writesImage
                                 ? "\t@echo S00600004844521B > \"$$(basename \"$$(pwd)\").s37\"\n"
                                 : "") +
                 exit + "clean:\n\t@echo cleaning; rm -f made.txt\n" + exit);
    QVERIFY(!project.empty());
    if (!made)
        QVERIFY(writeBytes(project + "/made.txt", "built\n"));

    NavigatorWindow window;
    window.openProject(project + "/robot.proj");
    auto *run = child<QToolButton>(window, command.toLatin1().constData());
    QVERIFY(run);
    QVERIFY(run->isEnabled());
    run->click();
    // Every command waits for the end of this one, and the project stays.
    QVERIFY(!window.buildAction()->isEnabled());
    QVERIFY(!window.cleanAction()->isEnabled());
    QVERIFY(!child<QAction>(window, "openAction")->isEnabled());

    QTRY_VERIFY_WITH_TIMEOUT(commandEnded(window), buildTimeoutMs);
    const QString text = outputText(window);
    QVERIFY2(text.endsWith(ending.arg(QFile::decodeName(project.c_str()))), qPrintable(text));
    QVERIFY2(text.contains(output), qPrintable(text));
    QCOMPARE(readBytes(project + "/made.txt"), std::string(made ? "built\n" : ""));
    QVERIFY(window.cleanAction()->isEnabled());
    QVERIFY(child<QAction>(window, "openAction")->isEnabled());
    for (const std::string &where : {dir.path(), project})
        QVERIFY(!exists(where + "/pwned"));
    QVERIFY(!QFile::exists(QStringLiteral("pwned")));
}

void NavigatorWindowTest::buildShowsOutputAsItComes()
{
    const TempDir dir;
    // Many lines, then a wait for the test's go-ahead.
    const std::string project = makeProject(dir, "all:\n"
                                                 "\t@seq 1 500\n"
                                                 "\t@while [ ! -e go ]; do sleep 0.05; done\n"
                                                 "\t@echo last line\n");
    QVERIFY(!project.empty());

    NavigatorWindow window;
    QVERIFY(showActive(window, project + "/robot.proj"));
    const auto *pane = child<QPlainTextEdit>(window, "buildOutput");
    QVERIFY(pane);
    QVERIFY(pane->isReadOnly());
    // Monospace: some fonts do not declare it, so measure.
    const QFontMetrics metrics(pane->font());
    QCOMPARE(metrics.horizontalAdvance(QStringLiteral("iiii")),
             metrics.horizontalAdvance(QStringLiteral("MMMM")));

    QTest::keyClick(&window, Qt::Key_B, Qt::ControlModifier);
    QTRY_VERIFY_WITH_TIMEOUT(outputText(window).contains(QStringLiteral("\n500\n")),
                             buildTimeoutMs);
    QVERIFY(!window.buildAction()->isEnabled());
    QVERIFY(pane->verticalScrollBar()->maximum() > 0);
    QCOMPARE(pane->verticalScrollBar()->value(), pane->verticalScrollBar()->maximum());

    QVERIFY(writeBytes(project + "/go", ""));
    QTRY_VERIFY_WITH_TIMEOUT(commandEnded(window), buildTimeoutMs);
    QVERIFY2(outputText(window).endsWith(QStringLiteral("499\n500\nlast line\nBuild finished")),
             qPrintable(outputText(window).right(100)));
    QCOMPARE(pane->verticalScrollBar()->value(), pane->verticalScrollBar()->maximum());
}

void NavigatorWindowTest::outputKeptWithinBounds_data()
{
    QTest::addColumn<QByteArray>("recipe");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("saved");

    const QByteArray longLine(100000, 'x');
    QTest::newRow("long line cut")
        << QByteArray("@head -c 100000 /dev/zero | tr '\\0' x; echo")
        << QString(BuildLog::maxShownLineLength, QLatin1Char('x')) +
               QStringLiteral(" [\u2026 96000 characters not shown]\nBuild finished")
        << longLine + "\nBuild finished";
    // A character outside the BMP across the cut: shown whole, counted apart.
    const QString x3999(BuildLog::maxShownLineLength - 1, QLatin1Char('x'));
    QTest::newRow("cut after a whole character")
        << QByteArray("@printf '%3999s\\360\\237\\244\\226abc\\n' '' | tr ' ' x")
        << x3999 + QStringLiteral("\U0001F916 [\u2026 3 characters not shown]\nBuild finished")
        << x3999.toUtf8() + "\xF0\x9F\xA4\x96" + "abc\nBuild finished";
    QByteArray lines;
    for (int line = 1; line <= BuildOutputView::maxLines + 100; ++line)
        lines += QByteArray::number(line) + '\n';
    QTest::newRow("earliest lines dropped")
        << QByteArray("@seq 1 10100")
        << QStringLiteral("[\u2026 101 earlier lines not shown]\n") +
               QString::fromLatin1(lines.mid(lines.indexOf("\n102\n") + 1)) +
               QStringLiteral("Build finished")
        << lines + "Build finished";
    const QByteArray whole = QByteArray(BuildLog::maxKeptLength + 1000, 'x') + "\nBuild finished";
    const qsizetype dropped = whole.size() - BuildLog::maxKeptLength;
    QTest::newRow("earliest text not kept")
        << "@head -c " + QByteArray::number(BuildLog::maxKeptLength + 1000) +
               " /dev/zero | tr '\\0' x; echo"
        << QString(BuildLog::maxShownLineLength, QLatin1Char('x')) +
               QStringLiteral(" [\u2026 %1 characters not shown]\nBuild finished")
                   .arg(BuildLog::maxKeptLength + 1000 - BuildLog::maxShownLineLength)
        << "[" + QByteArray::number(dropped) + " earlier characters of output were not kept]\n" +
               whole.right(BuildLog::maxKeptLength);
}

void NavigatorWindowTest::outputKeptWithinBounds()
{
    QFETCH(QByteArray, recipe);
    QFETCH(QString, shown);
    QFETCH(QByteArray, saved);

    const TempDir dir;
    const std::string project = makeProject(dir, "all:\n\t" + recipe.toStdString() + "\n");
    QVERIFY(!project.empty());
    NavigatorWindow window;
    QVERIFY(showActive(window, project + "/robot.proj"));
    QTest::keyClick(&window, Qt::Key_B, Qt::ControlModifier);
    QTRY_VERIFY_WITH_TIMEOUT(commandEnded(window), buildTimeoutMs);
    QCOMPARE(outputText(window), shown);

    const QString path = QFile::decodeName(dir.file("saved output.txt").c_str());
    answerFileDialog(path);
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(labelText(window, "statusLabel"), QStringLiteral("Output saved to '%1'").arg(path));
    QVERIFY(readBytes(dir.file("saved output.txt")) == saved.toStdString());
}

void NavigatorWindowTest::buildFailsToStart_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason"); // part of the status line

    QTest::newRow("make not on PATH") << QStringLiteral("no make") << QStringLiteral("execvp");
    QTest::newRow("make only in the project directory")
        << QStringLiteral("local make") << QStringLiteral("execvp");
    QTest::newRow("project directory gone")
        << QStringLiteral("directory gone") << QStringLiteral("chdir");
}

void NavigatorWindowTest::buildFailsToStart()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);

    const TempDir dir;
    const std::string project = makeProject(dir, "all:\n\t@echo built > made.txt\n");
    QVERIFY(!project.empty());
    QCOMPARE(::mkdir(dir.file("empty").c_str(), 0777), 0);
    const std::string localMake = project + "/make";
    QVERIFY(writeBytes(localMake, "#!/bin/sh\necho ran > ran.txt\n"));
    QCOMPARE(::chmod(localMake.c_str(), 0755), 0);

    NavigatorWindow window;
    window.openProject(project + "/robot.proj");
    {
        const ScopedEnvironmentVariable path(
            "PATH", kind == "directory gone" ? qgetenv("PATH")
                                             : QByteArray::fromStdString(dir.file("empty")));
        if (kind == "directory gone")
            QCOMPARE(::rename(project.c_str(), dir.file("moved").c_str()), 0);
        QVERIFY(window.buildAction()->isEnabled());
        window.buildAction()->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(commandEnded(window), buildTimeoutMs);
    }

    const QString status = lastLine(outputText(window));
    QVERIFY2(status.startsWith(QStringLiteral("Build failed to start: ") + reason),
             qPrintable(status));
    QVERIFY(window.buildAction()->isEnabled());
    for (const std::string &where : {project, dir.file("moved")}) {
        QVERIFY(!exists(where + "/made.txt"));
        QVERIFY(!exists(where + "/ran.txt"));
    }
}

void NavigatorWindowTest::buildDisabledWithoutProject_data()
{
    QTest::addColumn<QByteArray>("contents"); // null: no project file

    QTest::newRow("plain start") << QByteArray();
    QTest::newRow("missing project file") << QByteArray();
    QTest::newRow("not a project file") << QByteArray("all: robot\n");
}

void NavigatorWindowTest::buildDisabledWithoutProject()
{
    QFETCH(QByteArray, contents);

    const TempDir dir;
    const std::string project = makeProject(dir, "all:\n\t@echo built > made.txt\n");
    QVERIFY(!project.empty());
    const std::string broken = project + "/broken.proj";
    if (!contents.isNull())
        QVERIFY(writeBytes(broken, contents.toStdString()));

    NavigatorWindow window;
    if (QTest::currentDataTag() != QByteArray("plain start")) {
        // Even after a project that could be built.
        window.openProject(project + "/robot.proj");
        QVERIFY(window.buildAction()->isEnabled());
        window.openProject(broken);
    }
    for (QAction *action : {window.buildAction(), window.cleanAction()}) {
        QVERIFY(!action->isEnabled());
        action->trigger();
    }
    for (const char *name : {"buildButton", "cleanButton"}) {
        QVERIFY2(child<QToolButton>(window, name), name);
        QVERIFY2(!child<QToolButton>(window, name)->isEnabled(), name);
    }
    QCOMPARE(outputText(window), QString());
    QVERIFY(!exists(project + "/made.txt"));
}

void NavigatorWindowTest::stopsRunningBuild_data()
{
    QTest::addColumn<QString>("command"); // its button
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("ending");

    const auto row = [](const char *name, const char *command, const char *how,
                        const char *ending) {
        QTest::newRow(name) << command << how << ending;
    };
    row("Build > Stop", "buildButton", "action", "Build stopped");
    row("Escape", "buildButton", "Escape", "Build stopped");
    row("Escape, no upload after", "uploadButton", "Escape", "Build stopped");
    row("Stop button, Clean", "cleanButton", "button", "Clean stopped");
    row("window closed", "buildButton", "close", "Build stopped");
}

void NavigatorWindowTest::stopsRunningBuild()
{
    QFETCH(QString, command);
    QFETCH(QString, how);
    QFETCH(QString, ending);

    const TempDir dir;
    const std::string project = makeProject(dir, "all clean:\n\t@" + recordBuildPids +
                                                     "sleep 300 & echo $$! > sleep.pid; "
                                                     "while :; do echo looping; done\n");
    QVERIFY(!project.empty());
    const BuildPids pids(project);

    NavigatorWindow window;
    QVERIFY(showActive(window, project + "/robot.proj"));
    QVERIFY(!window.stopAction()->isEnabled());
    child<QToolButton>(window, command.toLatin1().constData())->click();
    QTRY_VERIFY_WITH_TIMEOUT(pids.recorded(), buildTimeoutMs);
    QVERIFY(pids.noneEnded());
    QVERIFY(window.stopAction()->isEnabled());

    if (how == "action")
        window.stopAction()->trigger();
    else if (how == "Escape")
        QTest::keyClick(&window, Qt::Key_Escape);
    else if (how == "button")
        child<QToolButton>(window, "stopButton")->click();
    else
        QVERIFY(window.close());
    QTRY_VERIFY_WITH_TIMEOUT(commandEnded(window), buildTimeoutMs);
    QVERIFY(!window.stopAction()->isEnabled());
    const QString text = outputText(window);
    QVERIFY2(text.contains(QStringLiteral("\nlooping\n")), qPrintable(text.right(200)));
    QCOMPARE(lastLine(text), ending);
    QTRY_VERIFY_WITH_TIMEOUT(pids.allEnded(), buildTimeoutMs);
}

void NavigatorWindowTest::uploadOutcomes_data()
{
    QTest::addColumn<QString>("board");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("answer"); // in the output, from the monitor; empty: none
    QTest::addColumn<QString>("ending"); // the start of the last line
    QTest::addColumn<QString>("detail"); // also in the last line

    const auto row = [](const char *name, const char *board, const char *fault, const char *answer,
                        const char *ending, const char *detail) {
        QTest::newRow(name) << board << fault << answer << ending << detail;
    };
    row("68000 monitor loads the image", "68000", "none", "LOADED 000400",
        "Upload finished: Loaded ", "LOADED 000400");
    row("CPU32 monitor loads the image", "cpu32", "none", "Loaded, entry 00040400",
        "Upload finished: Loaded ", "Loaded, entry 00040400");
    row("68000 monitor refuses a bad record", "68000", "bad record", "CHKSUM 3",
        "Upload failed: The monitor refused record", "CHKSUM 3");
    row("CPU32 monitor refuses a bad record", "cpu32", "bad record", "Bad checksum.",
        "Upload failed: The monitor refused record", "Bad checksum.");
    row("monitor falls silent", "68000", "silent", "", "Upload failed: The monitor on ",
        "did not acknowledge");
    row("cancelled with Esc", "68000", "cancel", "", "Upload cancelled after ",
        "back at its prompt");
    row("build fails: nothing sent", "68000", "build fails", "",
        "Upload failed: the build did not succeed", "");
    row("image outside the flash: nothing sent", "cpu32", "outside flash", "",
        "Upload failed: ", "outside Vessik's flash");
    row("no board profile: nothing sent", "68000", "no profile", "",
        "Upload failed: cannot read the board profile", "/testpack/lib/board.profile");
    row("port cannot be opened", "68000", "no port", "",
        "Upload failed: /dev/quellix-no-such-port does not exist",
        "is the board's adapter plugged in?");
}

void NavigatorWindowTest::uploadOutcomes()
{
    QFETCH(QString, board);
    QFETCH(QString, fault);
    QFETCH(QString, answer);
    QFETCH(QString, ending);
    QFETCH(QString, detail);

    const Board target = boardOfKind(board);
    FakeMonitor::Options options = target.monitor;
    if (fault == "bad record")
        options.noiseInLine = 3;
    if (fault == "silent")
        options.silentAfterRecords = 2;
    FakeMonitor monitor(options);
    QString error;
    QVERIFY2(monitor.start(&error), qPrintable(error));

    const TestImage image = makeTestImage(fault == "outside flash" ? 0x100000 : options.flashFirst,
                                          fault == "cancel" ? 1024 : 256, 64);
    const UploadProject project(fault == "no profile" ? QByteArray() : target.profile, image.s37,
                                fault == "build fails" ? 2 : 0);
    QVERIFY(project.valid);
    NavigatorWindow window;
    QVERIFY(openForUpload(window, project,
                          fault == "no port" ? QStringLiteral("/dev/quellix-no-such-port")
                                             : monitor.devicePath()));
    auto *progress = child<QProgressBar>(window, "uploadProgress");
    QVERIFY(progress);
    QList<int> steps;
    connect(progress, &QProgressBar::valueChanged, this, [&steps](int value) { steps << value; });

    QTest::keyClick(&window, Qt::Key_U, Qt::ControlModifier);
    // The build runs first, and nothing starts meanwhile.
    QVERIFY(!window.uploadAction()->isEnabled());
    QVERIFY(!window.buildAction()->isEnabled());
    if (fault == "cancel") {
        QTRY_VERIFY_WITH_TIMEOUT(monitor.result().dataRecords >= 2, uploadTimeoutMs);
        QVERIFY(child<QWidget>(window, "uploadPane")->isVisible());
        QVERIFY(!window.uploadAction()->isEnabled());
        // Stop's shortcut too, which only a build enables.
        QTest::keyClick(&window, Qt::Key_Escape);
    }
    QTRY_VERIFY_WITH_TIMEOUT(readyAfterUpload(window), uploadTimeoutMs);

    const QString text = outputText(window);
    const QString last = lastLine(text);
    QVERIFY2(last.startsWith(ending) && last.contains(detail), qPrintable(text));
    QVERIFY2(text.contains(answer), qPrintable(text));
    const FakeMonitor::Result result = monitor.result();
    if (fault == "none") {
        QVERIFY2(text.contains(QStringLiteral("Build finished\nImage: ")) &&
                     text.contains(QStringLiteral(".s37 to the ")),
                 qPrintable(text));
        QCOMPARE(result.loads, 1);
        QVERIFY(result.stored == image.bytes);
        // Shown record by record, up to the whole image.
        QList<int> expected;
        for (int record = 0; record <= image.records; ++record)
            expected << record;
        QCOMPARE(steps, expected);
        QCOMPARE(progress->maximum(), image.records);
        QCOMPARE(progress->text(), QStringLiteral("%1 of %1 records, %2 of %2 bytes")
                                       .arg(image.records)
                                       .arg(image.bytes.size()));
    } else {
        QCOMPARE(result.loads, 0);
    }
    if (answer.isEmpty() && fault != "silent" && fault != "cancel")
        QCOMPARE(result.charactersReceived, 0);
    if (fault == "cancel") {
        QVERIFY(steps.size() >= 3);
        QVERIFY(steps.last() < image.records);
        QVERIFY(monitor.waitForLoadEnd(uploadTimeoutMs));
        QVERIFY(monitor.result().atPrompt);
    }
    // The port is free again for whoever needs it next.
    QSerialPort again(monitor.devicePath());
    QVERIFY2(again.open(QIODevice::ReadWrite), qPrintable(again.errorString()));
}

void NavigatorWindowTest::serialMonitorTalksAndYieldsToUpload()
{
    FakeMonitor monitor({});
    QString error;
    QVERIFY2(monitor.start(&error), qPrintable(error));
    const TestImage image = makeTestImage(0, 256, 64);
    const UploadProject project(boardOfKind("68000").profile, image.s37);
    QVERIFY(project.valid);
    NavigatorWindow window;
    QVERIFY(openForUpload(window, project, monitor.devicePath()));
    auto *connectButton = child<QPushButton>(window, "serialConnectButton");
    auto *input = child<QLineEdit>(window, "serialInput");
    auto *state = child<QLabel>(window, "serialStateLabel");
    auto *output = child<QPlainTextEdit>(window, "serialOutput");
    QVERIFY(connectButton && input && state && output);
    QVERIFY(!input->isEnabled());

    connectButton->click();
    QCOMPARE(state->text(),
             QStringLiteral("Connected to %1 at 9600 baud").arg(monitor.devicePath()));
    // The monitor echoes what it gets and answers an unknown command with "?".
    input->setFocus();
    // "é" goes as two bytes and comes back one at a time.
    QTest::keyClicks(input, QStringLiteral("hello"));
    input->insert(QStringLiteral("\u00e9"));
    QTest::keyClick(input, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(output->toPlainText(), QStringLiteral("hello\u00e9\n?\n> "),
                              uploadTimeoutMs);
    QCOMPARE(input->text(), QString());

    // The monitor lets go of the port for the upload, then takes it back.
    QTest::keyClick(&window, Qt::Key_U, Qt::ControlModifier);
    QTRY_VERIFY_WITH_TIMEOUT(child<QWidget>(window, "uploadPane")->isVisible() ||
                                 readyAfterUpload(window),
                             uploadTimeoutMs);
    QVERIFY2(state->text().startsWith(QStringLiteral("Paused")), qPrintable(outputText(window)));
    QVERIFY(!connectButton->isEnabled());
    QVERIFY(!input->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(readyAfterUpload(window), uploadTimeoutMs);
    QVERIFY2(lastLine(outputText(window)).startsWith(QStringLiteral("Upload finished: ")),
             qPrintable(outputText(window)));
    QCOMPARE(monitor.result().loads, 1);
    QVERIFY(state->text().startsWith(QStringLiteral("Connected to ")));
    QVERIFY(input->isEnabled());
    // What went to the upload is not shown here.
    QVERIFY(!output->toPlainText().contains(QStringLiteral("LOADED")));
    QTest::keyClicks(input, QStringLiteral("again"));
    QTest::keyClick(input, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(output->toPlainText().endsWith(QStringLiteral("again\n?\n> ")),
                             uploadTimeoutMs);

    connectButton->click();
    QCOMPARE(state->text(), QStringLiteral("Not connected"));
    QVERIFY(!input->isEnabled());
}

void NavigatorWindowTest::portRememberedPerProject()
{
    FakeMonitor monitor({});
    QString error;
    QVERIFY2(monitor.start(&error), qPrintable(error));
    const UploadProject first(boardOfKind("68000").profile, {});
    const UploadProject second(boardOfKind("68000").profile, {});
    QVERIFY(first.valid && second.valid);
    const QString gone = QStringLiteral("/dev/quellix-unplugged");

    NavigatorWindow window;
    auto *ports = child<QComboBox>(window, "portCombo");
    auto *state = child<QLabel>(window, "portStateLabel");
    QVERIFY(ports && state);
    for (const auto &[project, port] :
         {std::pair{&first, monitor.devicePath()}, std::pair{&second, gone}}) {
        window.openProject(project->directory + "/robot.proj");
        ports->setFocus();
        ports->lineEdit()->selectAll();
        QTest::keyClicks(ports->lineEdit(), port);
        QTest::keyClick(ports->lineEdit(), Qt::Key_Return);
    }
    window.openProject(first.directory + "/robot.proj");
    QCOMPARE(ports->currentText(), monitor.devicePath());
    QCOMPARE(state->text(), QString());
    // A port that is gone is still the project's, shown as missing.
    window.openProject(second.directory + "/robot.proj");
    QCOMPARE(ports->currentText(), gone);
    QCOMPARE(state->text(), QStringLiteral("(missing)"));
}

QTEST_MAIN(NavigatorWindowTest)
#include "tst_navigatorwindow.moc"
