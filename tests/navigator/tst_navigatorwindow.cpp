#include "BuildTestSupport.h"
#include "NavigatorWindow.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QToolButton>

class NavigatorWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void startsEmpty();
    void showsProject_data();
    void showsProject();
    void showsInheritedEnvironment_data();
    void showsInheritedEnvironment();
    void buildRunsMakeInProjectDirectory_data();
    void buildRunsMakeInProjectDirectory();
    void buildShowsOutputAsItComes();
    void buildFailsToStart_data();
    void buildFailsToStart();
    void buildDisabledWithoutProject_data();
    void buildDisabledWithoutProject();
    void closingStopsRunningBuild();
};

namespace {

QString labelText(const QWidget &window, const char *name)
{
    const auto *label = window.findChild<QLabel *>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(QLatin1String(name));
}

QStringList sourceItems(const QWidget &window)
{
    QStringList items;
    const auto *list = window.findChild<QListWidget *>(QStringLiteral("sourceList"));
    for (int i = 0; list && i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

constexpr int buildTimeoutMs = 30000;
const QByteArray projectTag = "# quellix-navigator project 1\n";

QToolButton *button(const QWidget &window, const char *name)
{
    return window.findChild<QToolButton *>(QString::fromLatin1(name));
}

QString outputText(const QWidget &window)
{
    const auto *pane = window.findChild<QPlainTextEdit *>(QStringLiteral("buildOutput"));
    return pane ? pane->toPlainText() : QStringLiteral("<no buildOutput>");
}

QString lastLine(const QString &text)
{
    return text.section(QLatin1Char('\n'), -1);
}

bool isStatusLine(const QString &line)
{
    return line.startsWith(QStringLiteral("Build finished (exit status ")) ||
           line.startsWith(QStringLiteral("Build failed to start: ")) ||
           line == QStringLiteral("Build crashed");
}

// A project directory whose name a shell would act on, holding robot.proj.
std::string makeProject(const navtest::TempDir &dir)
{
    const std::string project = dir.file("robot \xc3\xa9 $(touch pwned) `touch pwned`; x");
    if (::mkdir(project.c_str(), 0777) != 0 ||
        !navtest::writeBytes(project + "/robot.proj",
                             (projectTag + "name=robot\nsource=main.c\n").toStdString()))
        return {};
    return project;
}

} // namespace

void NavigatorWindowTest::startsEmpty()
{
    const NavigatorWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Navigator"));
    QCOMPARE(labelText(window, "statusLabel"), QStringLiteral("No project open"));
    QCOMPARE(labelText(window, "projectNameLabel"), QString());
    QVERIFY(sourceItems(window).isEmpty());
}

void NavigatorWindowTest::showsProject_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QString>("status");

    const QByteArray tag = "# quellix-navigator project 1\n";
    QTest::newRow("valid project")
        << tag + "name=mon robot\nsource=crt0.s\nsource=moteur \xc3\xa0 gauche.c\n"
        << QStringLiteral("Navigator \u2014 mon robot") << QStringLiteral("mon robot")
        << QStringList{"crt0.s", "moteur \u00e0 gauche.c"} << QStringLiteral("2 source file(s)");
    QTest::newRow("markup shown as text")
        << tag + "name=<b>robot</b>\n"
        << QStringLiteral("Navigator \u2014 <b>robot</b>") << QStringLiteral("<b>robot</b>")
        << QStringList{} << QStringLiteral("0 source file(s)");
    QTest::newRow("not a project file")
        << QByteArray("all: robot\n") << QStringLiteral("Navigator") << QString() << QStringList{}
        << QStringLiteral("Cannot open the project: '%1' is not a valid project file: line 1: "
                          "not a navigator project file");
}

void NavigatorWindowTest::showsProject()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, title);
    QFETCH(QString, name);
    QFETCH(QStringList, sources);
    QFETCH(QString, status);

    const navtest::TempDir dir;
    const std::string earlier = dir.file("earlier.proj");
    const std::string path = dir.file("robot.proj");
    QVERIFY(navtest::writeBytes(earlier, "# quellix-navigator project 1\nname=e\nsource=e.c\n"));
    QVERIFY(navtest::writeBytes(path, contents.toStdString()));

    // Opening after another project replaces everything it showed.
    NavigatorWindow window;
    window.openProject(earlier);
    window.openProject(path);
    const QString shownPath = QFile::decodeName(path.c_str());
    QCOMPARE(window.windowTitle(), title);
    QCOMPARE(labelText(window, "projectFileLabel"), shownPath);
    QCOMPARE(labelText(window, "projectNameLabel"), name);
    QCOMPARE(sourceItems(window), sources);
    QCOMPARE(labelText(window, "statusLabel"), status.replace(QStringLiteral("%1"), shownPath));
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
    std::vector<std::unique_ptr<navtest::ScopedEnvironmentVariable>> environment;
    for (const auto &[name, value] : variables)
        environment.push_back(std::make_unique<navtest::ScopedEnvironmentVariable>(name, value));
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
    QTest::addColumn<QString>("output"); // part of it
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("made"); // made.txt there afterwards

    const QString environment =
        QStringLiteral("MAKE_MODE=UNIX\nQPRJ=/opt/Quellix \u00e9/$(touch pwned) `touch pwned`\n");
    QTest::newRow("build succeeds") << QStringLiteral("buildButton") << 0 << environment
                                    << QStringLiteral("Build finished (exit status 0)") << true;
    QTest::newRow("recipe fails") << QStringLiteral("buildButton") << 2 << environment
                                  << QStringLiteral("Build finished (exit status 2)") << true;
    QTest::newRow("clean") << QStringLiteral("cleanButton") << 0 << QStringLiteral("cleaning\n")
                           << QStringLiteral("Build finished (exit status 0)") << false;
}

void NavigatorWindowTest::buildRunsMakeInProjectDirectory()
{
    QFETCH(QString, command);
    QFETCH(int, recipeStatus);
    QFETCH(QString, output);
    QFETCH(QString, status);
    QFETCH(bool, made);

    const navtest::ScopedEnvironmentVariable makeMode("MAKE_MODE", "UNIX");
    const navtest::ScopedEnvironmentVariable qprj(
        "QPRJ", "/opt/Quellix \xc3\xa9/$(touch pwned) `touch pwned`");
    const navtest::TempDir dir;
    const std::string project = makeProject(dir);
    QVERIFY(!project.empty());
    QVERIFY(navtest::writeMakefile(project, "all:\n"
                                            "\t@printf '%s\\n' \"MAKE_MODE=$$MAKE_MODE\" "
                                            "\"QPRJ=$$QPRJ\"\n"
                                            "\t@echo built > made.txt\n"
                                            "\t@exit " +
                                                std::to_string(recipeStatus) +
                                                "\n"
                                                "clean:\n\t@echo cleaning; rm -f made.txt\n"));
    if (!made)
        QVERIFY(navtest::writeBytes(project + "/made.txt", "built\n"));

    NavigatorWindow window;
    window.openProject(project + "/robot.proj");
    QToolButton *run = button(window, command.toLatin1().constData());
    QVERIFY(run);
    QVERIFY(run->isEnabled());
    run->click();
    // Both commands wait for the end of this one.
    QVERIFY(!window.buildAction()->isEnabled());
    QVERIFY(!window.cleanAction()->isEnabled());

    QTRY_VERIFY_WITH_TIMEOUT(isStatusLine(lastLine(outputText(window))), buildTimeoutMs);
    QCOMPARE(lastLine(outputText(window)), status);
    QVERIFY2(outputText(window).contains(output), qPrintable(outputText(window)));
    QCOMPARE(navtest::readBytes(project + "/made.txt"), std::string(made ? "built\n" : ""));
    QVERIFY(window.buildAction()->isEnabled());
    QVERIFY(window.cleanAction()->isEnabled());
    for (const std::string &where : {dir.path(), project})
        QVERIFY(!navtest::exists(where + "/pwned"));
    QVERIFY(!QFile::exists(QStringLiteral("pwned")));
}

void NavigatorWindowTest::buildShowsOutputAsItComes()
{
    const navtest::TempDir dir;
    const std::string project = makeProject(dir);
    QVERIFY(!project.empty());
    // Many lines, then a wait for the test's go-ahead.
    QVERIFY(navtest::writeMakefile(project, "all:\n"
                                            "\t@seq 1 500\n"
                                            "\t@while [ ! -e go ]; do sleep 0.05; done\n"
                                            "\t@echo last line\n"));

    NavigatorWindow window;
    window.openProject(project + "/robot.proj");
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const auto *pane = window.findChild<QPlainTextEdit *>(QStringLiteral("buildOutput"));
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

    QVERIFY(navtest::writeBytes(project + "/go", ""));
    QTRY_VERIFY_WITH_TIMEOUT(isStatusLine(lastLine(outputText(window))), buildTimeoutMs);
    QVERIFY2(outputText(window).endsWith(
                 QStringLiteral("499\n500\nlast line\nBuild finished (exit status 0)")),
             qPrintable(outputText(window).right(100)));
    QCOMPARE(pane->verticalScrollBar()->value(), pane->verticalScrollBar()->maximum());
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

    const navtest::TempDir dir;
    const std::string project = makeProject(dir);
    QVERIFY(!project.empty());
    QVERIFY(navtest::writeMakefile(project, "all:\n\t@echo built > made.txt\n"));
    QCOMPARE(::mkdir(dir.file("empty").c_str(), 0777), 0);
    const std::string localMake = project + "/make";
    QVERIFY(navtest::writeBytes(localMake, "#!/bin/sh\necho ran > ran.txt\n"));
    QCOMPARE(::chmod(localMake.c_str(), 0755), 0);

    NavigatorWindow window;
    window.openProject(project + "/robot.proj");
    {
        const navtest::ScopedEnvironmentVariable path(
            "PATH", kind == "directory gone" ? qgetenv("PATH")
                                             : QByteArray::fromStdString(dir.file("empty")));
        if (kind == "directory gone")
            QCOMPARE(::rename(project.c_str(), dir.file("moved").c_str()), 0);
        QVERIFY(window.buildAction()->isEnabled());
        window.buildAction()->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(isStatusLine(lastLine(outputText(window))), buildTimeoutMs);
    }

    const QString status = lastLine(outputText(window));
    QVERIFY2(status.startsWith(QStringLiteral("Build failed to start: ") + reason),
             qPrintable(status));
    QVERIFY(window.buildAction()->isEnabled());
    for (const std::string &where : {project, dir.file("moved")}) {
        QVERIFY(!navtest::exists(where + "/made.txt"));
        QVERIFY(!navtest::exists(where + "/ran.txt"));
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

    const navtest::TempDir dir;
    const std::string project = makeProject(dir);
    QVERIFY(!project.empty());
    QVERIFY(navtest::writeMakefile(project, "all:\n\t@echo built > made.txt\n"));
    const std::string broken = project + "/broken.proj";
    if (!contents.isNull())
        QVERIFY(navtest::writeBytes(broken, contents.toStdString()));

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
        QVERIFY2(button(window, name), name);
        QVERIFY2(!button(window, name)->isEnabled(), name);
    }
    QCOMPARE(outputText(window), QString());
    QVERIFY(!navtest::exists(project + "/made.txt"));
}

void NavigatorWindowTest::closingStopsRunningBuild()
{
    const navtest::TempDir dir;
    const std::string project = makeProject(dir);
    QVERIFY(!project.empty());
    QVERIFY(navtest::writeMakefile(project, "all:\n\t@" + navtest::recordBuildPids +
                                                "sleep 300 & echo $$! > sleep.pid; wait\n"));
    const navtest::BuildPids pids(project);

    NavigatorWindow window;
    window.openProject(project + "/robot.proj");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.buildAction()->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(pids.recorded(), buildTimeoutMs);
    QVERIFY(pids.noneEnded());

    QVERIFY(window.close());
    QVERIFY(isStatusLine(lastLine(outputText(window))));
    QVERIFY(lastLine(outputText(window)) != QStringLiteral("Build finished (exit status 0)"));
    QTRY_VERIFY_WITH_TIMEOUT(pids.allEnded(), buildTimeoutMs);
}

QTEST_MAIN(NavigatorWindowTest)
#include "tst_navigatorwindow.moc"
