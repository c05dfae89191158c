// SPDX-License-Identifier: MIT
#include "actions/NavigatorCommands.h"
#include "actions/RunAndWait.h"
#include "launcher/ToolchainEnvironment.h"
#include "platform/ChildProcess.h"
#include "platform/QtPlatform.h"
#include "tests/TestFiles.h"
#include "tests/TestSupport.h"

#include <QAbstractEventDispatcher>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <future>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

// Restores the test's working directory and environment.
class ProcessStateGuard
{
public:
    ProcessStateGuard()
        : m_directory(QDir::currentPath()), m_path(qgetenv("PATH")),
          m_hadMakeMode(qEnvironmentVariableIsSet("MAKE_MODE")),
          m_hadQprj(qEnvironmentVariableIsSet("QPRJ"))
    {}
    ~ProcessStateGuard()
    {
        QDir::setCurrent(m_directory);
        qputenv("PATH", m_path);
        if (!m_hadMakeMode)
            qunsetenv("MAKE_MODE");
        if (!m_hadQprj)
            qunsetenv("QPRJ");
    }

private:
    QString m_directory;
    QByteArray m_path;
    bool m_hadMakeMode;
    bool m_hadQprj;
};

// A program that writes its process id to "pid" in the directory, then runs
// until a file "go" appears there (or the directory goes, should a test fail).
Command heldOpen(const QString &directory)
{
    return {"/bin/sh",
            {"-c",
             "echo $$ > \"$0/pid\"; while [ ! -e \"$0/go\" ] && [ -d \"$0\" ]; do sleep 0.02; "
             "done",
             QFile::encodeName(directory).toStdString()}};
}

pid_t recordedPid(const QString &directory)
{
    return readPid(QFile::encodeName(directory + "/pid").toStdString());
}

bool isRunning(pid_t pid)
{
    return ::kill(pid, 0) == 0;
}

} // namespace

Q_DECLARE_METATYPE(ChildProcess::EndWatch)

// RunAndWait and the start-up environment with the real platform and real processes.
class QtPlatformProcessesTest : public QObject
{
    Q_OBJECT

private slots:
    void childInheritsArgumentsEnvironmentAndDirectory();
    void endsOfTheProgramAreAllTheSame_data();
    void endsOfTheProgramAreAllTheSame();
    void windowTakesNoInputWhileWaiting();
    void programThatCannotStartEndsTheLauncher_data();
    void programThatCannotStartEndsTheLauncher();
    void secondProgramIsRefusedWhileOneRuns();
    void endIsReportedOnceWhicheverLoopRuns();
    void childProcessNeverWaitsBeforeTheEnd_data();
    void childProcessNeverWaitsBeforeTheEnd();
};

void QtPlatformProcessesTest::childInheritsArgumentsEnvironmentAndDirectory()
{
    const ProcessStateGuard guard;
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QString root = temporary.path() + "/dev root é;$(x)";
    QVERIFY(QDir().mkpath(root));
    const QString record = root + "/record";
    QVERIFY(QDir().mkpath(root + "/my project"));
    installRecordingIde(root + "/SN451/bin/snavigator.exe");
    qputenv("IDE_RUNS", QFile::encodeName(record));
    QVERIFY(QDir::setCurrent(root));
    qputenv("PATH", "/usr/bin:/bin");

    QtPlatform platform(nullptr);
    const ToolchainPaths paths = exportToolchainEnvironment(platform);
    const std::string projectFile = paths.rootDir + "/my project/my project.proj";
    QVERIFY(!RunAndWait(platform,
                        navigatorBatchCreate(paths.navigatorExe, BatchOptions::Long, projectFile))
                 .isFailure());

    QCOMPARE(QString::fromStdString(paths.rootDir), root);
    const QString tools =
        ":" + root + "/BIN:" + root + "/JAVA/BIN:" + root + "/LIB/GCC-LIB/M68K-N~1/EGCS-2~1.60/";
    const QStringList expected{"run",
                               "arg=--batchmode",
                               "arg=--create",
                               "arg=" + QString::fromStdString(projectFile),
                               "cwd=" + root,
                               "PATH=/usr/bin:/bin" + tools,
                               "MAKE_MODE=UNIX",
                               "QPRJ=" + root};
    QCOMPARE(recordedIdeLines(record, {""}), expected);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void QtPlatformProcessesTest::endsOfTheProgramAreAllTheSame_data()
{
    QTest::addColumn<QString>("script");

    QTest::newRow("exits 0") << "exit 0";
    QTest::newRow("exits 3") << "exit 3";
    QTest::newRow("killed by a signal") << "kill -KILL $$";
    QTest::newRow("leaves a child running") << "sleep 1 & exit 0";
}

void QtPlatformProcessesTest::endsOfTheProgramAreAllTheSame()
{
    QFETCH(QString, script);

    QtPlatform platform(nullptr);
    QVERIFY(!RunAndWait(platform, {"/bin/sh", {"-c", script.toStdString()}}).isFailure());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void QtPlatformProcessesTest::windowTakesNoInputWhileWaiting()
{
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QString go = temporary.filePath("go");

    QWidget window;
    window.resize(200, 100);
    auto *button = new QPushButton("Press", &window);
    button->setGeometry(10, 10, 100, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    button->setFocus();
    QSignalSpy clicks(button, &QPushButton::clicked);

    bool busyWhileWaiting = false;
    bool closedWhileWaiting = true;
    QTimer::singleShot(0, &window, [&] {
        const QCursor *cursor = QApplication::overrideCursor();
        busyWhileWaiting = cursor && cursor->shape() == Qt::WaitCursor;
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(button, Qt::Key_Space);
        closedWhileWaiting = window.close();
        QFile(go).open(QIODevice::WriteOnly);
    });

    QtPlatform platform(&window);
    QVERIFY(!RunAndWait(platform,
                        {"/bin/sh",
                         {"-c", "while [ ! -e \"$0\" ]; do sleep 0.02; done", go.toStdString()}})
                 .isFailure());
    QCoreApplication::processEvents();

    QVERIFY(busyWhileWaiting);
    QVERIFY(!closedWhileWaiting);
    QVERIFY(window.isVisible());
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    // Input works again once the program has ended.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
}

void QtPlatformProcessesTest::programThatCannotStartEndsTheLauncher_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("scriptText");
    QTest::addColumn<QFile::Permissions>("permissions");
    QTest::addColumn<std::errc>("reason");

    const QFile::Permissions runnable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QTest::newRow("missing") << "missing ide.exe" << QByteArray() << QFile::Permissions()
                             << std::errc::no_such_file_or_directory;
    QTest::newRow("no run bit") << "plain file" << QByteArray("#!/bin/sh\nexit 0\n")
                                << (QFile::ReadOwner | QFile::WriteOwner)
                                << std::errc::permission_denied;
    QTest::newRow("a directory") << "a directory" << QByteArray() << QFile::Permissions()
                                 << std::errc::permission_denied;
    QTest::newRow("interpreter missing")
        << "bad interpreter" << QByteArray("#!/nonexistent/shell\n") << runnable
        << std::errc::no_such_file_or_directory;
    QTest::newRow("no interpreter line") << "no hashbang" << QByteArray("exit 0\n") << runnable
                                         << std::errc::executable_format_error;
    QTest::newRow("empty command")
        << "" << QByteArray() << QFile::Permissions() << std::errc::no_such_file_or_directory;
}

void QtPlatformProcessesTest::programThatCannotStartEndsTheLauncher()
{
    QFETCH(QString, program);
    QFETCH(QByteArray, scriptText);
    QFETCH(QFile::Permissions, permissions);
    QFETCH(std::errc, reason);

    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    QString path = program.isEmpty() ? QString() : temporary.filePath(program);
    if (program == "a directory")
        QVERIFY(QDir().mkdir(path));
    if (!scriptText.isEmpty())
        writeFile(path, scriptText, permissions);

    QProcess child;
    child.start(QStringLiteral(RUNANDWAIT_CHILD), {path});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    const QStringList expected{"cursor: busy", "message: Impossible de lancer la commande " + path,
                               "reason: " + systemMessage(reason)};
    QCOMPARE(QString::fromLocal8Bit(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
             expected);
}

void QtPlatformProcessesTest::secondProgramIsRefusedWhileOneRuns()
{
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QString second = temporary.filePath("second ran");
    const Command startsSecond{"/bin/sh", {"-c", "touch \"$0\"", second.toStdString()}};

    QtPlatform platform(nullptr);
    QVERIFY(!platform.startProcess(heldOpen(temporary.path())));
    QTRY_VERIFY(recordedPid(temporary.path()) > 0);
    // Refused at once, rather than waiting for the first one.
    QVERIFY(platform.startProcess(startsSecond) == std::errc::device_or_resource_busy);
    QFile(temporary.filePath("go")).open(QIODevice::WriteOnly);
    platform.waitForProcess();
    QVERIFY(!isRunning(recordedPid(temporary.path())));
    QVERIFY(!QFile::exists(second));

    // Once the first has ended, the next one starts.
    QVERIFY(!platform.startProcess(startsSecond));
    platform.waitForProcess();
    QVERIFY(QFile::exists(second));
}

// The program ends while another event loop runs inside the wait, as a dialog's
// would: its end is reported once, not again and again to that loop.
void QtPlatformProcessesTest::endIsReportedOnceWhicheverLoopRuns()
{
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    QtPlatform platform(nullptr);
    QVERIFY(!platform.startProcess(heldOpen(temporary.path())));

    int wakeUpsAfterTheEnd = -1;
    QTimer::singleShot(0, [&] {
        QEventLoop inner;
        QFile(temporary.filePath("go")).open(QIODevice::WriteOnly);
        QTimer::singleShot(300, &inner, &QEventLoop::quit);
        inner.exec(); // the program ends meanwhile
        int wakeUps = 0;
        const auto counter = connect(QAbstractEventDispatcher::instance(),
                                     &QAbstractEventDispatcher::awake, [&wakeUps] { ++wakeUps; });
        QTimer::singleShot(300, &inner, &QEventLoop::quit);
        inner.exec();
        disconnect(counter);
        wakeUpsAfterTheEnd = wakeUps;
    });
    platform.waitForProcess();

    QVERIFY(!isRunning(recordedPid(temporary.path())));
    // An idle loop wakes for its timer and little else; a notifier that keeps
    // firing wakes it without end, on a whole core.
    QVERIFY2(wakeUpsAfterTheEnd >= 0 && wakeUpsAfterTheEnd < 50,
             qPrintable(QString::number(wakeUpsAfterTheEnd)));
}

void QtPlatformProcessesTest::childProcessNeverWaitsBeforeTheEnd_data()
{
    QTest::addColumn<ChildProcess::EndWatch>("watch");
    QTest::newRow("process descriptor") << ChildProcess::EndWatch::ProcessDescriptor;
    QTest::newRow("waiter thread") << ChildProcess::EndWatch::WaiterThread;
}

void QtPlatformProcessesTest::childProcessNeverWaitsBeforeTheEnd()
{
    QFETCH(ChildProcess::EndWatch, watch);

    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QString go = temporary.filePath("go");
    // Should destruction wait for the program, this lets it end after a while,
    // so that the test fails rather than hangs.
    std::promise<void> finished;
    std::thread watchdog([&go, done = finished.get_future()] {
        if (done.wait_for(std::chrono::seconds(10)) == std::future_status::timeout)
            QFile(go).open(QIODevice::WriteOnly);
    });
    // Lets the program end and joins the watchdog, once, on a failed check too.
    bool watchdogEnded = false;
    const auto endWatchdog = [&] {
        if (std::exchange(watchdogEnded, true))
            return;
        QFile(go).open(QIODevice::WriteOnly);
        finished.set_value();
        watchdog.join();
    };
    const auto endOnReturn = qScopeGuard(endWatchdog);

    auto child = ChildProcess::start(heldOpen(temporary.path()), watch).process;
    QVERIFY(child);
    QTRY_VERIFY(recordedPid(temporary.path()) > 0);
    const pid_t pid = recordedPid(temporary.path());
    QVERIFY(!child->hasEnded());
    pollfd ended{child->endNotifier(), POLLIN, 0};
    QCOMPARE(::poll(&ended, 1, 0), 0);

    child.reset();
    const bool runningAfterDestruction = isRunning(pid) && !QFile::exists(go);

    // A second one, watched to its end.
    endWatchdog();
    QVERIFY(runningAfterDestruction);
    // Its process entry: left to the owner with a descriptor, released by the thread.
    if (watch == ChildProcess::EndWatch::ProcessDescriptor)
        QCOMPARE(::waitpid(pid, nullptr, 0), pid);
    else
        QTRY_VERIFY(!isRunning(pid));

    auto next = ChildProcess::start({"/bin/sh", {"-c", "exit 3"}}, watch).process;
    QVERIFY(next);
    pollfd nextEnded{next->endNotifier(), POLLIN, 0};
    QCOMPARE(::poll(&nextEnded, 1, 10000), 1);
    QVERIFY(next->hasEnded());
    QVERIFY(next->hasEnded());
    // Its process entry is released: nothing is left to wait for.
    QCOMPARE(::waitpid(-1, nullptr, WNOHANG), -1);
}

QTEST_MAIN(QtPlatformProcessesTest)
#include "tst_qtplatform_processes.moc"
