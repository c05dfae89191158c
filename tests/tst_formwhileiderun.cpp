// SPDX-License-Identifier: MIT
#include "launcher/TForm1.h"
#include "platform/QtPlatform.h"
#include "tests/FakePlatform.h"
#include "tests/ProcessEnd.h"
#include "tests/RecordingPlatform.h"
#include "tests/TestFiles.h"
#include "tests/TestSupport.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDir>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const QStringList PushButtons{"NewTempl", "NewProject", "ExistingProject"};
const QStringList RadioButtons{"ThePalmor", "TheVessik", "TheDunnet", "TheTovrin"};

// Every route by which a control can be pressed without the mouse over it.
enum class Route
{
    ProgrammaticClick,
    AccessibilityAction,
    EnterOnFocusedButton,
    EventsQueuedBeforeTheWait
};

void press(QAbstractButton *button, Route route)
{
    switch (route) {
    case Route::ProgrammaticClick:
        button->click();
        break;
    case Route::AccessibilityAction: {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
        QVERIFY(accessible && accessible->actionInterface());
        for (const QString &action : {QAccessibleActionInterface::pressAction(),
                                      QAccessibleActionInterface::toggleAction()})
            accessible->actionInterface()->doAction(action);
        break;
    }
    case Route::EnterOnFocusedButton:
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Space);
        break;
    case Route::EventsQueuedBeforeTheWait:
        break;
    }
}

// A click that the window system has delivered but the launcher not yet read.
void queueClick(QAbstractButton *button)
{
    const QPointF centre = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(centre);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(button, new QMouseEvent(type, centre, global, Qt::LeftButton,
                                                            Qt::LeftButton, Qt::NoModifier));
}

} // namespace

Q_DECLARE_METATYPE(Route)

// The real window waiting for a real IDE that stays open until the test lets it
// go: no second action may start by any route, and the window shows it is busy.
class FormWhileIdeRunsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void nothingStartsDuringTheWait_data();
    void nothingStartsDuringTheWait();
    void formRunsOneActionAtATime_data();
    void formRunsOneActionAtATime();

private:
    QTemporaryDir m_temporary;
    QString m_root;
};

void FormWhileIdeRunsTest::initTestCase()
{
    QVERIFY(m_temporary.isValid());
    m_root = m_temporary.path() + "/dev root";
    installRecordingIde(m_root + "/SN451/bin/snavigator.exe");
    QVERIFY(QDir::setCurrent(m_root));
}

void FormWhileIdeRunsTest::nothingStartsDuringTheWait_data()
{
    QTest::addColumn<Route>("route");
    QTest::newRow("programmatic click()") << Route::ProgrammaticClick;
    QTest::newRow("accessibility action") << Route::AccessibilityAction;
    QTest::newRow("Enter and Space on the focused button") << Route::EnterOnFocusedButton;
    QTest::newRow("clicks queued before the wait") << Route::EventsQueuedBeforeTheWait;
}

void FormWhileIdeRunsTest::nothingStartsDuringTheWait()
{
    QFETCH(Route, route);

    const ProcessEnd end = runToProcessEnd([this, route] {
        const QString go = m_temporary.filePath("go");
        qputenv("IDE_RUNS", QFile::encodeName(m_temporary.filePath("runs")));
        qputenv("IDE_GO_FILE", QFile::encodeName(go));
        QtPlatform desktop(nullptr);
        auto recorder = std::make_unique<RecordingPlatform>(desktop);
        RecordingPlatform &platform = *recorder;
        TForm1 form(std::move(recorder));
        // The real wait, with the busy state shown on this window.
        QtPlatform windowed(&form);
        platform.record(windowed);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.findChild<QRadioButton *>("TheDunnet")->click();
        auto *existing = form.findChild<QPushButton *>("ExistingProject");
        existing->setFocus();

        // What the user sees and does from inside the wait's event loop, logged.
        QTimer::singleShot(0, [&] {
            QStringList disabled;
            for (QAbstractButton *button : form.findChildren<QAbstractButton *>()) {
                if (!button->isEnabled())
                    disabled << button->objectName();
                press(button, route);
            }
            disabled.sort();
            const QCursor *cursor = QApplication::overrideCursor();
            platform.log.push_back("disabled: " + disabled.join(' ').toStdString());
            if (cursor && cursor->shape() == Qt::WaitCursor)
                platform.log.push_back("busy cursor");
            if (!form.close() && form.isVisible())
                platform.log.push_back("close refused");
            platform.log.push_back("platform: " + std::to_string(form.platformIndex()));
            QFile(go).open(QIODevice::WriteOnly);
        });
        if (route == Route::EventsQueuedBeforeTheWait) {
            for (QAbstractButton *button : form.findChildren<QAbstractButton *>())
                queueClick(button);
        }
        platform.log.clear();
        existing->click();
    });

    QVERIFY2(end.reached, qPrintable(end.output));
    QCOMPARE(end.status, 0);
    QStringList everyControl = PushButtons + RadioButtons;
    everyControl.sort();
    // The copy has an installation root of its own.
    QStringList log = end.log;
    log.replaceInStrings(QRegularExpression("^start: .*/dev root/"), "start: …/dev root/");
    const QStringList expected{"cursor: busy", "start: …/dev root/SN451/bin/snavigator.exe",
                               "wait",         "disabled: " + everyControl.join(' '),
                               "busy cursor",  "close refused",
                               "platform: 1",  "cursor: normal",
                               "exit: 0"};
    QCOMPARE(log, expected);
}

void FormWhileIdeRunsTest::formRunsOneActionAtATime_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QStringList>("firstActionLog");

    QTest::newRow("open existing project")
        << "ExistingProject"
        << QStringList{"cursor: busy", "start: /dev/SN451/bin/snavigator.exe", "wait",
                       "cursor: normal", "exit: 0"};
    QTest::newRow("create from files")
        << "NewProject"
        << QStringList{"dialog.initialDir: /dev",
                       "dialog.hideReadOnly",
                       "dialog.filter: *.c;*.cc;*.cpp;*.s;*.S",
                       "dialog.title: Create Project from Files — choose one of your sources",
                       "dialog.execute",
                       "copy: /dev/palpack51/examples/Makefile -> /work/robot/Makefile",
                       "cursor: busy",
                       "start: /dev/SN451/bin/snavigator.exe -b -c /work/robot/robot.proj",
                       "wait",
                       "cursor: normal",
                       "cursor: busy",
                       "start: /dev/SN451/bin/snavigator.exe /work/robot/robot.proj",
                       "wait",
                       "cursor: normal",
                       "exit: 0"};
}

// Without the busy window of the real platform, the form itself still refuses
// a second action while one runs.
void FormWhileIdeRunsTest::formRunsOneActionAtATime()
{
    QFETCH(QString, first);
    QFETCH(QStringList, firstActionLog);

    const ProcessEnd end = runToProcessEnd([first] {
        FakePlatform system;
        system.workingDirectory = "/dev";
        system.files.insert("/dev/palpack51/examples/Makefile");
        system.directories.insert({"/dev", "/work", "/work/robot"});
        system.dialogAnswers = {std::string("/work/robot/main.c"), std::string("/work/x")};
        auto recorder = std::make_unique<RecordingPlatform>(system);
        RecordingPlatform &platform = *recorder;
        TForm1 form(std::move(recorder));
        form.findChild<QRadioButton *>("ThePalmor")->click();
        bool pressed = false;
        system.duringWait = [&] {
            if (pressed)
                return; // a second action got as far as a wait of its own
            pressed = true;
            for (const QString &name : PushButtons)
                form.findChild<QPushButton *>(name)->click();
        };
        platform.log.clear();
        form.findChild<QPushButton *>(first)->click();
    });
    QVERIFY2(end.reached, qPrintable(end.output));
    QCOMPARE(end.status, 0);
    QCOMPARE(end.log, firstActionLog);
}

QTEST_MAIN(FormWhileIdeRunsTest)
#include "tst_formwhileiderun.moc"
