#include "NavigatorCommands.h"
#include "QtPlatform.h"
#include "RunAndWait.h"
#include "TestFiles.h"
#include "TestSupport.h"
#include "ToolchainEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <unistd.h>

namespace {

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

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

} // namespace

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
};

void QtPlatformProcessesTest::childInheritsArgumentsEnvironmentAndDirectory()
{
    const ProcessStateGuard guard;
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QString root = temporary.path() + "/dev root é;$(x)";
    QVERIFY(QDir().mkpath(root));
    const QString record = root + "/record";
    writeFile(root + "/SN451/bin/snavigator.exe",
              "#!/bin/sh\n"
              "out=\"$(dirname \"$0\")/../../record\"\n"
              "for a in \"$@\"; do printf 'arg=%s\\n' \"$a\" >> \"$out\"; done\n"
              "printf 'PATH=%s\\nMAKE_MODE=%s\\nQPRJ=%s\\nPWD=%s\\n' \"$PATH\" \"$MAKE_MODE\" "
              "\"$QPRJ\" \"$(pwd -P)\" >> \"$out\"\n",
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(QDir::setCurrent(root));
    qputenv("PATH", "/usr/bin:/bin");

    QtPlatform platform(nullptr);
    const ToolchainPaths paths = exportToolchainEnvironment(platform);
    const std::string projectFile = paths.rootDir + "/my project/my project.proj";
    RunAndWait(platform, navigatorBatchCreate(paths.navigatorExe, BatchOptions::Long, projectFile));

    QCOMPARE(QString::fromStdString(paths.rootDir), root);
    const QString tools =
        ":" + root + "/BIN:" + root + "/JAVA/BIN:" + root + "/LIB/GCC-LIB/M68K-N~1/EGCS-2~1.60/";
    const QStringList expected{"arg=--batchmode",
                               "arg=--create",
                               "arg=" + QString::fromStdString(projectFile),
                               "PATH=/usr/bin:/bin" + tools,
                               "MAKE_MODE=UNIX",
                               "QPRJ=" + root,
                               "PWD=" + root};
    QCOMPARE(readLines(record), expected);
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
    RunAndWait(platform, {"/bin/sh", {"-c", script.toStdString()}});
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
    RunAndWait(platform,
               {"/bin/sh", {"-c", "while [ ! -e \"$0\" ]; do sleep 0.02; done", go.toStdString()}});
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

    const QFile::Permissions runnable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QTest::newRow("missing") << "missing ide.exe" << QByteArray() << QFile::Permissions();
    QTest::newRow("no run bit") << "plain file" << QByteArray("#!/bin/sh\nexit 0\n")
                                << (QFile::ReadOwner | QFile::WriteOwner);
    QTest::newRow("a directory") << "a directory" << QByteArray() << QFile::Permissions();
    QTest::newRow("interpreter missing")
        << "bad interpreter" << QByteArray("#!/nonexistent/shell\n") << runnable;
    QTest::newRow("no interpreter line") << "no hashbang" << QByteArray("exit 0\n") << runnable;
    QTest::newRow("empty command") << "" << QByteArray() << QFile::Permissions();
}

void QtPlatformProcessesTest::programThatCannotStartEndsTheLauncher()
{
    QFETCH(QString, program);
    QFETCH(QByteArray, scriptText);
    QFETCH(QFile::Permissions, permissions);

    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    QString path = program.isEmpty() ? QString() : temporary.filePath(program);
    if (program == "a directory")
        QVERIFY(QDir().mkdir(path));
    if (!scriptText.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(scriptText);
        file.close();
        QVERIFY(file.setPermissions(permissions));
    }

    QProcess child;
    child.start(QStringLiteral(RUNANDWAIT_CHILD), {path});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    const QStringList expected{"cursor: busy", "message: Impossible de lancer la commande " + path};
    QCOMPARE(QString::fromLocal8Bit(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
             expected);
}

QTEST_MAIN(QtPlatformProcessesTest)
#include "tst_qtplatform_processes.moc"
