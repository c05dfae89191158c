// SPDX-License-Identifier: MIT
#include "navigator/DisplayText.h"
#include "navigator/EditorFileOpener.h"
#include "navigator/NavigatorSettings.h"
#include "navigator/ProjectFiles.h"
#include "tests/UnblockedFifo.h"
#include "tests/navigator/WindowTestSupport.h"

#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTextBlock>
#include <optional>

using namespace navtest;
using Names = std::vector<std::string>;

// The window as its user reaches it: keys, menus and double-clicks. Files open
// through a recording opener, never in a real editor.
class NavigatorProjectsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void opensAndRemembersProjects_data();
    void opensAndRemembersProjects();
    void cancelledOpenKeepsProject();
    void refreshesSourcesBeforeBuild();
    void doubleClickOpensFile_data();
    void doubleClickOpensFile();
    void editorOpensAtLine_data();
    void editorOpensAtLine();
    void settingsOnlyInRegularFiles_data();
    void settingsOnlyInRegularFiles();
    void shortcutsCloseWindow_data();
    void shortcutsCloseWindow();

private:
    navtest::TemporarySettings m_settings;
};

namespace {

// Writes <dir>/<name>/<name>.proj with one source, main.c; returns its path.
std::string makeNamedProject(const TempDir &dir, const std::string &name)
{
    const std::string directory = dir.file(name);
    const std::string file = directory + '/' + name + ".proj";
    if (::mkdir(directory.c_str(), 0777) != 0 || !writeBytes(directory + "/main.c", "") ||
        !writeBytes(file,
                    (projectTag + "name=" + name.c_str() + "\nsource=main.c\n").toStdString()))
        return {};
    return file;
}

// Presses Ctrl+O and types path into the file dialog.
void openWithKeys(NavigatorWindow &window, const std::string &path)
{
    // The window's shortcuts work once it is active again after a dialog.
    QVERIFY(showActive(window));
    bool answered = false;
    answerFileDialog(QFile::decodeName(path.c_str()), &answered);
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    QVERIFY(answered);
}

QStringList recentTexts(const QMenu &menu)
{
    QStringList texts;
    for (const QAction *action : menu.actions())
        texts << action->text();
    return texts;
}

} // namespace

void NavigatorProjectsTest::initTestCase()
{
    QVERIFY(m_settings.isValid());
    QVERIFY(m_settings.fileName().startsWith(QDir::tempPath()));
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

void NavigatorProjectsTest::init()
{
    QSettings().clear();
}

void NavigatorProjectsTest::opensAndRemembersProjects_data()
{
    QTest::addColumn<Names>("opened"); // in this order, through Project ▸ Open…
    QTest::addColumn<Names>("recent"); // the recent menu afterwards, in a new window

    QTest::newRow("one") << Names{"a"} << Names{"a"};
    QTest::newRow("most recent first") << Names{"a", "b", "c"} << Names{"c", "b", "a"};
    QTest::newRow("reopened moves to the front") << Names{"a", "b", "a"} << Names{"a", "b"};
    QTest::newRow("eight kept") << Names{"a", "b", "c", "d", "e", "f", "g", "h", "i"}
                                << Names{"i", "h", "g", "f", "e", "d", "c", "b"};
    QTest::newRow("invalid project not kept") << Names{"a", "broken"} << Names{"a"};
    QTest::newRow("names with spaces, accents, & and a tab")
        << Names{"robot & co", "d\xc3\xa9j\xc3\xa0 vu", "arm\tx"}
        << Names{"arm\tx", "d\xc3\xa9j\xc3\xa0 vu", "robot & co"};
}

void NavigatorProjectsTest::opensAndRemembersProjects()
{
    QFETCH(Names, opened);
    QFETCH(Names, recent);

    const TempDir dir;
    for (const std::string &name : opened)
        if (!exists(dir.file(name)))
            QVERIFY(!makeNamedProject(dir, name).empty());
    if (exists(dir.file("broken")))
        QVERIFY(writeBytes(dir.file("broken/broken.proj"), "not a project\n"));

    {
        // Started with no project, as "Open Existing Project" does.
        NavigatorWindow window;
        QVERIFY(showActive(window));
        for (const std::string &name : opened) {
            openWithKeys(window, dir.file(name + '/' + name + ".proj"));
            if (QTest::currentTestFailed())
                return;
            const bool valid = name != "broken";
            QCOMPARE(window.windowTitle(), valid
                                               ? QStringLiteral("Navigator \u2014 %1")
                                                     .arg(visibleText(QString::fromStdString(name)))
                                               : QStringLiteral("Navigator"));
            QCOMPARE(sourceItems(window), valid ? QStringList{"main.c"} : QStringList{});
        }
    }

    NavigatorWindow window;
    QVERIFY(showActive(window));
    auto *menu = child<QMenu>(window, "recentMenu");
    QVERIFY(menu);
    QStringList expected;
    for (size_t i = 0; i < recent.size(); ++i) {
        const QString path =
            QFile::decodeName(dir.file(recent[i] + '/' + recent[i] + ".proj").c_str());
        expected << QStringLiteral("&%1 %2").arg(i + 1).arg(menuText(path));
    }
    QCOMPARE(recentTexts(*menu), expected);

    // The last entry, chosen with the keyboard.
    menu->popup(window.mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    for (size_t i = 0; i < recent.size(); ++i)
        QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    QTRY_COMPARE(window.windowTitle(),
                 QStringLiteral("Navigator \u2014 %1")
                     .arg(visibleText(QString::fromStdString(recent.back()))));
    QCOMPARE(labelText(window, "projectFileLabel"),
             expected.last().section(' ', 1).replace("&&", "&"));
}

void NavigatorProjectsTest::cancelledOpenKeepsProject()
{
    const TempDir dir;
    const std::string project = makeNamedProject(dir, "robot");
    QVERIFY(!project.empty());
    NavigatorWindow window;
    QVERIFY(showActive(window, project));

    answerNextModal([](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(window.windowTitle(), QStringLiteral("Navigator \u2014 robot"));
    QVERIFY(window.buildAction()->isEnabled());
}

void NavigatorProjectsTest::refreshesSourcesBeforeBuild()
{
    const TempDir dir;
    const std::string project = makeNamedProject(dir, "robot");
    QVERIFY(!project.empty());
    QVERIFY(writeMakefile(dir.file("robot"), "all:\n\t@echo built\n"));
    NavigatorWindow window;
    QVERIFY(showActive(window, project));
    QCOMPARE(sourceItems(window), QStringList{"main.c"});

    // Added and removed after the project was opened.
    QVERIFY(writeBytes(dir.file("robot/motor.cpp"), ""));
    QVERIFY(writeBytes(dir.file("robot/boot.S"), ""));
    QCOMPARE(::unlink(dir.file("robot/main.c").c_str()), 0);
    QTest::keyClick(&window, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(sourceItems(window), (QStringList{"boot.S", "motor.cpp"}));
    QCOMPARE(labelText(window, "statusLabel"), QStringLiteral("2 sources, 0 headers"));
    QTRY_VERIFY_WITH_TIMEOUT(commandEnded(window), buildTimeoutMs);
}

void NavigatorProjectsTest::doubleClickOpensFile_data()
{
    QTest::addColumn<QString>("clicked"); // a source, or a line of the build's output
    QTest::addColumn<QString>("opened");  // under the temporary directory; empty: nothing
    QTest::addColumn<QString>("openerError");
    QTest::addColumn<QString>("message"); // of the box shown, %1 the temporary directory
    QTest::addColumn<QMessageBox::StandardButton>("answer");

    const QString outside =
        QStringLiteral("'%1/pack/palmor.h' is outside the project directory. Open it anyway?");
    const auto plain = [](const char *name, const QString &clicked, const QString &opened) {
        QTest::newRow(name) << clicked << opened << QString() << QString() << QMessageBox::NoButton;
    };
    plain("source", QStringLiteral("line follower.c"), QStringLiteral("robot/line follower.c:1:1"));
    plain("source with an accent", QStringLiteral("moteur \u00e0 gauche.c"),
          QStringLiteral("robot/moteur \u00e0 gauche.c:1:1"));
    plain("error at line 41, column 34",
          QStringLiteral("line follower.c:41:34: error: expected ';' before '}' token"),
          QStringLiteral("robot/line follower.c:41:34"));
    plain("warning without a column, accented name",
          QStringLiteral("moteur \u00e0 gauche.c:12: warning: unused variable 'x'"),
          QStringLiteral("robot/moteur \u00e0 gauche.c:12:1"));
    plain("written ./<name>, as the packs do", QStringLiteral("./line follower.c:36:28: error: x"),
          QStringLiteral("robot/line follower.c:36:28"));
    plain("make's own message", QStringLiteral("make: *** [Makefile:3: all] Error 1"), QString());
    plain("source line under a diagnostic", QStringLiteral("   36 |   motor(1, 2:3)"), QString());
    QTest::newRow("absolute path outside the project, agreed")
        << QStringLiteral("%1/pack/palmor.h:3:5: note: declared here")
        << QStringLiteral("pack/palmor.h:3:5") << QString() << outside << QMessageBox::Yes;
    QTest::newRow("relative path leading out, declined")
        << QStringLiteral("../robot/../pack/palmor.h:3:5: note: x") << QString() << QString()
        << outside << QMessageBox::No;
    QTest::newRow("source linked to a file outside, declined")
        << QStringLiteral("palmor link.h") << QString() << QString() << outside << QMessageBox::No;
    QTest::newRow("file that does not exist")
        << QStringLiteral("gone.c:1:1: error: x") << QString() << QString()
        << QStringLiteral("Cannot open '%1/robot/gone.c': there is no such file")
        << QMessageBox::Ok;
    QTest::newRow("editor that cannot open it")
        << QStringLiteral("line follower.c") << QStringLiteral("robot/line follower.c:1:1")
        << QStringLiteral("no editor")
        << QStringLiteral("Cannot open '%1/robot/line follower.c': no editor") << QMessageBox::Ok;
}

void NavigatorProjectsTest::doubleClickOpensFile()
{
    QFETCH(QString, clicked);
    QFETCH(QString, opened);
    QFETCH(QString, openerError);
    QFETCH(QString, message);
    QFETCH(QMessageBox::StandardButton, answer);

    const TempDir dir;
    const std::string project = makeNamedProject(dir, "robot");
    QVERIFY(!project.empty());
    QCOMPARE(::unlink(dir.file("robot/main.c").c_str()), 0);
    for (const char *entry : {"robot/line follower.c", "robot/moteur \xc3\xa0 gauche.c", "pack/",
                              "pack/palmor.h", "robot/palmor link.h>../pack/palmor.h"})
        QVERIFY2(makeEntry(dir, entry), entry);
    const QString root = QFile::decodeName(canonicalPath(dir.path()).c_str());
    const QString line = QString(clicked).replace(QStringLiteral("%1"), root);
    QByteArray quoted = QFile::encodeName(line);
    quoted.replace('\'', "'\\''").replace('$', "$$");
    QVERIFY(writeMakefile(dir.file("robot"), "all:\n\t@echo before\n\t@printf '%s\\n' '" +
                                                 quoted.toStdString() + "'\n\t@echo after\n"));

    std::vector<std::string> openedFiles;
    NavigatorWindow window;
    window.setFileOpener(std::make_unique<RecordingOpener>(openedFiles, openerError));
    QVERIFY(showActive(window, project));

    auto *list = child<QListWidget>(window, "sourceList");
    QVERIFY(list);
    QWidget *viewport = list->viewport();
    QPoint position;
    const QList<QListWidgetItem *> items = list->findItems(line, Qt::MatchExactly);
    if (!items.isEmpty()) {
        position = list->visualItemRect(items.first()).center();
    } else {
        QTest::keyClick(&window, Qt::Key_B, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(commandEnded(window), buildTimeoutMs);
        auto *pane = child<QPlainTextEdit>(window, "buildOutput");
        QVERIFY(pane);
        const QTextBlock block = pane->document()->findBlockByNumber(1);
        QCOMPARE(block.text(), line);
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 2);
        viewport = pane->viewport();
        position = pane->cursorRect(cursor).center();
    }
    QString shown;
    const QPointer<QTimer> answering = answerNextModal([&shown, answer](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        shown = box ? box->text() : QStringLiteral("<not a message box>");
        if (box && box->button(answer))
            box->button(answer)->click();
        else
            modal->close();
    });
    // Through the window system, as a mouse does it: press, release, press with a
    // double-click, release. The widget overload sends the double-click alone.
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {},
                       viewport->mapTo(&window, position));
    delete answering.data();

    const Names expected =
        opened.isEmpty() ? Names{} : Names{QFile::encodeName(root + '/' + opened).toStdString()};
    QCOMPARE(openedFiles, expected);
    QCOMPARE(shown, message.replace(QStringLiteral("%1"), root));
    // What could not be opened was told in the box, not left in the window.
    QCOMPARE(labelText(window, "statusLabel"), QStringLiteral("2 sources, 1 header"));
}

void NavigatorProjectsTest::shortcutsCloseWindow_data()
{
    QTest::addColumn<QKeyCombination>("key");

    QTest::newRow("Ctrl+Q") << QKeyCombination(Qt::ControlModifier, Qt::Key_Q);
    QTest::newRow("Ctrl+W") << QKeyCombination(Qt::ControlModifier, Qt::Key_W);
}

void NavigatorProjectsTest::shortcutsCloseWindow()
{
    QFETCH(QKeyCombination, key);

    NavigatorWindow window;
    QVERIFY(showActive(window));
    QTest::keyClick(&window, key.key(), key.keyboardModifiers());
    QVERIFY(!window.isVisible());
}

void NavigatorProjectsTest::editorOpensAtLine_data()
{
    QTest::addColumn<QString>("configured"); // %1 is a fake editor that records its arguments
    QTest::addColumn<QString>("result");     // its arguments, %2 the file; or the error's start

    QTest::newRow("no shell between") << "'%1' --at {line}:{column} {file}"
                                      << "--at\n41:34\n%2\n";
    QTest::newRow("editor that does not start")
        << "'%1 gone' {file}"
        << "the editor '%1 gone' (from Settings \u25b8 Editor) did not start: ";
}

void NavigatorProjectsTest::editorOpensAtLine()
{
    QFETCH(QString, configured);
    QFETCH(QString, result);

    const TempDir dir;
    const std::string fake = dir.file("fake editor");
    QVERIFY(writeBytes(
        fake, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.new\"; mv \"$0.new\" \"$0.args\"\n"));
    QCOMPARE(::chmod(fake.c_str(), 0755), 0);
    const QString fakeName = QFile::decodeName(fake.c_str());
    const std::string file = dir.file("my robot $(touch pwned) `touch pwned`.c");
    result.replace("%1", fakeName).replace("%2", QFile::decodeName(file.c_str()));
    const auto settings = std::make_shared<NavigatorSettings>(m_settings.fileName());
    settings->setValue(EditorFileOpener::settingsKey, configured.replace("%1", fakeName));

    const Result<Done> opened = EditorFileOpener(settings).open(file, 41, 34);
    if (!opened.ok()) {
        const QString error = QFile::decodeName(opened.failure().message.c_str());
        QVERIFY2(error.startsWith(result), qPrintable(error));
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(exists(fake + ".args"), buildTimeoutMs);
    QCOMPARE(QFile::decodeName(readBytes(fake + ".args").c_str()), result);
    QVERIFY(!exists(dir.file("pwned")));
}

void NavigatorProjectsTest::settingsOnlyInRegularFiles_data()
{
    QTest::addColumn<QString>("kind"); // of the settings file
    QTest::addColumn<bool>("saved");   // the recent project, to the file or the link's target

    QTest::newRow("regular file") << "file" << true;
    QTest::newRow("link to a file elsewhere") << "link" << true;
    QTest::newRow("FIFO: no hang") << "FIFO" << false;
    QTest::newRow("directory") << "directory" << false;
}

void NavigatorProjectsTest::settingsOnlyInRegularFiles()
{
    QFETCH(QString, kind);
    QFETCH(bool, saved);

    const TempDir dir;
    const std::string project = makeNamedProject(dir, "robot");
    const std::string target = dir.file("real settings.conf");
    const std::string name = QFile::encodeName(m_settings.fileName()).toStdString();
    // Whatever happens, the next test finds no settings file in its way.
    const std::unique_ptr<const char, int (*)(const char *)> removal(name.c_str(), ::remove);
    QVERIFY(::remove(name.c_str()) == 0 || errno == ENOENT);
    QVERIFY(writeBytes(kind == "file" ? name : target, "[General]\nother=1\n"));
    QVERIFY(kind != "link" || ::symlink(target.c_str(), name.c_str()) == 0);
    std::optional<UnblockedFifo> fifo;
    if (kind == "FIFO")
        fifo.emplace(QByteArray::fromStdString(name));
    QVERIFY(kind != "directory" || ::mkdir(name.c_str(), 0700) == 0);
    struct stat before = {}, after = {};
    QCOMPARE(::lstat(name.c_str(), &before), 0);

    NavigatorWindow window;
    window.openProject(project);
    QCOMPARE(labelText(window, "settingsNoteLabel"), saved ? QString()
                                                           : "Settings are not read or saved: '" +
                                                                 m_settings.fileName() +
                                                                 "' is not a regular file");
    // Kept for this run at least.
    const auto *menu = child<QMenu>(window, "recentMenu");
    QCOMPARE(recentTexts(*menu), QStringList{"&1 " + QFile::decodeName(project.c_str())});
    QCOMPARE(::lstat(name.c_str(), &after), 0);
    QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
    const std::string contents = saved ? readBytes(kind == "link" ? target : name) : std::string();
    QCOMPARE(contents.find("robot.proj") != std::string::npos, saved);
    QCOMPARE(contents.find("other=1") != std::string::npos, saved);
}

QTEST_MAIN(NavigatorProjectsTest)
#include "tst_navigatorprojects.moc"
