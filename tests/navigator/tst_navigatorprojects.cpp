// SPDX-License-Identifier: MIT
#include "DisplayText.h"
#include "EditorFileOpener.h"
#include "ModalAnswer.h"
#include "NavigatorSettings.h"
#include "ProjectFiles.h"
#include "WindowTestSupport.h"

#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTextBlock>

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
    void menuTextShowsNames_data();
    void menuTextShowsNames();
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

void showAndWait(NavigatorWindow &window)
{
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

// Presses Ctrl+O and types path into the file dialog.
void openWithKeys(NavigatorWindow &window, const std::string &path)
{
    // The window's shortcuts work once it is active again after a dialog.
    showAndWait(window);
    const QString name = QFile::decodeName(path.c_str());
    bool answered = false;
    answerNextModal([name, &answered](QWidget *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit);
        edit->setText(name);
        QTest::keyClick(edit, Qt::Key_Return);
        answered = true;
    });
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    QVERIFY(answered);
}

// Through the window system, as a mouse does it: press, release, press with a
// double-click, release. The widget overload sends the double-click alone.
void doubleClick(NavigatorWindow &window, const QWidget *widget, QPoint position)
{
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, widget->mapTo(&window, position));
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
        showAndWait(window);
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
    showAndWait(window);
    auto *menu = window.findChild<QMenu *>(QStringLiteral("recentMenu"));
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
    window.openProject(project);
    showAndWait(window);

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
    window.openProject(project);
    showAndWait(window);
    QCOMPARE(sourceItems(window), QStringList{"main.c"});

    // Added and removed after the project was opened.
    QVERIFY(writeBytes(dir.file("robot/motor.cpp"), ""));
    QVERIFY(writeBytes(dir.file("robot/boot.S"), ""));
    QCOMPARE(::unlink(dir.file("robot/main.c").c_str()), 0);
    QTest::keyClick(&window, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(sourceItems(window), (QStringList{"boot.S", "motor.cpp"}));
    QCOMPARE(labelText(window, "statusLabel"), QStringLiteral("2 sources, 0 headers"));
    QTRY_VERIFY_WITH_TIMEOUT(window.buildAction()->isEnabled(), buildTimeoutMs);
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
    QTest::newRow("absolute path outside the project, declined")
        << QStringLiteral("%1/pack/palmor.h:3:5: note: declared here") << QString() << QString()
        << outside << QMessageBox::No;
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
    QVERIFY(writeBytes(dir.file("robot/line follower.c"), ""));
    QVERIFY(writeBytes(dir.file("robot/moteur \xc3\xa0 gauche.c"), ""));
    QCOMPARE(::mkdir(dir.file("pack").c_str(), 0777), 0);
    QVERIFY(writeBytes(dir.file("pack/palmor.h"), ""));
    QCOMPARE(::symlink("../pack/palmor.h", dir.file("robot/palmor link.h").c_str()), 0);
    const QString root = QFile::decodeName(canonicalPath(dir.path()).c_str());
    const QString line = QString(clicked).replace(QStringLiteral("%1"), root);
    QByteArray quoted = QFile::encodeName(line);
    quoted.replace('\'', "'\\''").replace('$', "$$");
    QVERIFY(writeMakefile(dir.file("robot"), "all:\n\t@echo before\n\t@printf '%s\\n' '" +
                                                 quoted.toStdString() + "'\n\t@echo after\n"));

    std::vector<std::string> openedFiles;
    NavigatorWindow window;
    window.setFileOpener(std::make_unique<RecordingOpener>(openedFiles, openerError));
    window.openProject(project);
    showAndWait(window);

    auto *list = window.findChild<QListWidget *>(QStringLiteral("sourceList"));
    QVERIFY(list);
    QWidget *viewport = list->viewport();
    QPoint position;
    const QList<QListWidgetItem *> items = list->findItems(line, Qt::MatchExactly);
    if (!items.isEmpty()) {
        position = list->visualItemRect(items.first()).center();
    } else {
        QTest::keyClick(&window, Qt::Key_B, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(window.buildAction()->isEnabled(), buildTimeoutMs);
        auto *pane = window.findChild<QPlainTextEdit *>(QStringLiteral("buildOutput"));
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
        QAbstractButton *button = box ? box->button(answer) : nullptr;
        shown = box ? box->text() : QStringLiteral("<not a message box>");
        if (button)
            button->click();
        else
            modal->close();
    });
    doubleClick(window, viewport, position);
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
    showAndWait(window);
    QTest::keyClick(&window, key.key(), key.keyboardModifiers());
    QVERIFY(!window.isVisible());
}

void NavigatorProjectsTest::editorOpensAtLine_data()
{
    QTest::addColumn<QString>("configured"); // %1 is a fake editor that records its arguments
    QTest::addColumn<QByteArray>("visual");
    QTest::addColumn<QByteArray>("editor");
    QTest::addColumn<QString>("arguments"); // one a line; %2 is the file
    QTest::addColumn<QString>("error");     // the start of it

    QTest::newRow("the set command, with no shell between")
        << "'%1' --at {line}:{column} {file}" << QByteArray("vi") << QByteArray()
        << "--at\n41:34\n%2\n"
        << QString();
    QTest::newRow("$VISUAL before $EDITOR")
        << "" << QByteArray("'%1' -x") << QByteArray("vi") << "-x\n%2\n"
        << QString();
    QTest::newRow("$EDITOR") << "" << QByteArray() << QByteArray("'%1'") << "%2\n" << QString();
    QTest::newRow("editor that does not start")
        << "'%1 gone' {file}" << QByteArray() << QByteArray() << QString()
        << "the editor '%1 gone' (from Settings \u25b8 Editor) did not start: ";
}

void NavigatorProjectsTest::editorOpensAtLine()
{
    QFETCH(QString, configured);
    QFETCH(QByteArray, visual);
    QFETCH(QByteArray, editor);
    QFETCH(QString, arguments);
    QFETCH(QString, error);

    const TempDir dir;
    const std::string fakeEditor = dir.file("fake editor");
    QVERIFY(writeBytes(fakeEditor, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.new\"\n"
                                   "mv \"$0.new\" \"$0.args\"\n"));
    QCOMPARE(::chmod(fakeEditor.c_str(), 0755), 0);
    const std::string file = dir.file("my robot $(touch pwned) `touch pwned`.c");
    const QString editorName = QFile::decodeName(fakeEditor.c_str());
    const auto settings = std::make_shared<NavigatorSettings>(m_settings.fileName());
    settings->setValue(EditorFileOpener::settingsKey, configured.arg(editorName));
    const ScopedEnvironmentVariable visualVariable(
        "VISUAL", visual.isNull() ? visual : visual.replace("%1", QFile::encodeName(editorName)));
    const ScopedEnvironmentVariable editorVariable(
        "EDITOR", editor.isNull() ? editor : editor.replace("%1", QFile::encodeName(editorName)));

    EditorFileOpener opener(settings);
    const QString reason = opener.open(file, 41, 34);
    if (!error.isEmpty()) {
        QVERIFY2(reason.startsWith(error.arg(editorName)), qPrintable(reason));
        return;
    }
    QCOMPARE(reason, QString());
    QTRY_VERIFY_WITH_TIMEOUT(exists(fakeEditor + ".args"), buildTimeoutMs);
    QCOMPARE(QFile::decodeName(readBytes(fakeEditor + ".args").c_str()),
             arguments.replace(QStringLiteral("%2"), QFile::decodeName(file.c_str())));
    QVERIFY(!exists(dir.file("pwned")));
}

void NavigatorProjectsTest::settingsOnlyInRegularFiles_data()
{
    QTest::addColumn<QString>("kind"); // what the settings file is
    QTest::addColumn<bool>("saved");   // the recent project, to the file or the link's target

    QTest::newRow("regular file") << "regular file" << true;
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
    QVERIFY(!project.empty());
    const std::string target = dir.file("real settings.conf");
    const std::string fileName = QFile::encodeName(m_settings.fileName()).toStdString();
    // Whatever happens, the next test finds no settings file in its way.
    const std::unique_ptr<const std::string, void (*)(const std::string *)> removal(
        &fileName, [](const std::string *path) {
            if (::unlink(path->c_str()) != 0)
                ::rmdir(path->c_str());
        });
    QVERIFY(QDir().mkpath(QFileInfo(m_settings.fileName()).path()));
    QVERIFY(::unlink(fileName.c_str()) == 0 || errno == ENOENT);
    if (kind == "regular file")
        QVERIFY(writeBytes(fileName, "[General]\nother=1\n"));
    if (kind == "link") {
        QVERIFY(writeBytes(target, "[General]\nother=1\n"));
        QCOMPARE(::symlink(target.c_str(), fileName.c_str()), 0);
    }
    if (kind == "FIFO")
        QCOMPARE(::mkfifo(fileName.c_str(), 0600), 0);
    if (kind == "directory")
        QCOMPARE(::mkdir(fileName.c_str(), 0700), 0);
    struct stat before = {};
    QCOMPARE(::lstat(fileName.c_str(), &before), 0);

    NavigatorWindow window;
    window.openProject(project);
    const QString note = saved ? QString()
                               : QStringLiteral("Settings are not read or saved: '%1' is not a "
                                                "regular file")
                                     .arg(m_settings.fileName());
    QCOMPARE(labelText(window, "settingsNoteLabel"), note);
    // Kept for this run at least.
    auto *menu = window.findChild<QMenu *>(QStringLiteral("recentMenu"));
    QVERIFY(menu);
    QCOMPARE(recentTexts(*menu),
             QStringList{QStringLiteral("&1 ") + menuText(QFile::decodeName(project.c_str()))});
    struct stat after = {};
    QCOMPARE(::lstat(fileName.c_str(), &after), 0);
    QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
    if (saved) {
        const std::string contents = readBytes(kind == "link" ? target : fileName);
        QVERIFY2(contents.find("robot.proj") != std::string::npos, contents.c_str());
        QVERIFY2(contents.find("other=1") != std::string::npos, contents.c_str());
    }
}

void NavigatorProjectsTest::menuTextShowsNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    QTest::newRow("plain") << "robot \u00e9 C:\\x"
                           << "robot \u00e9 C:\\x";
    QTest::newRow("& is no mnemonic") << "R&D && co"
                                      << "R&&D &&&& co";
    QTest::newRow("tab is no shortcut, newline no line") << "a\tb\nc\r"
                                                         << "a\\tb\\nc\\r";
    QTest::newRow("other controls and separators")
        << QStringLiteral("a\u001b\u007f\u0085\u2028\u2029b")
        << "a\\x1b\\x7f\\u0085\\u2028\\u2029b";
}

void NavigatorProjectsTest::menuTextShowsNames()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    QCOMPARE(menuText(name), text);
}

QTEST_MAIN(NavigatorProjectsTest)
#include "tst_navigatorprojects.moc"
