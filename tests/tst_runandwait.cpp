// SPDX-License-Identifier: MIT
#include "actions/NavigatorCommands.h"
#include "actions/OpenExistingProject.h"
#include "actions/RunAndWait.h"
#include "tests/FakePlatform.h"
#include "tests/RecordingPlatform.h"
#include "tests/TestSupport.h"

// RunAndWait and the open action over the scripted platform.
class RunAndWaitTest : public QObject
{
    Q_OBJECT

private slots:
    void navigatorCommands_data();
    void navigatorCommands();
    void runsOrEnds_data();
    void runsOrEnds();
    void openExistingProjectEndsWhateverHappened_data();
    void openExistingProjectEndsWhateverHappened();
};

void RunAndWaitTest::navigatorCommands_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("displayText");

    const std::string ide = "/dev root/SN451/bin/snavigator.exe";
    QTest::newRow("batch, long options")
        << navigatorBatchCreate(ide, BatchOptions::Long, "/w/my demo/my demo.proj")
        << QStringList{"--batchmode", "--create", "/w/my demo/my demo.proj"}
        << "/dev root/SN451/bin/snavigator.exe --batchmode --create /w/my demo/my demo.proj";
    QTest::newRow("batch, short options")
        << navigatorBatchCreate(ide, BatchOptions::Short, "/w/robot/robot.proj")
        << QStringList{"-b", "-c", "/w/robot/robot.proj"}
        << "/dev root/SN451/bin/snavigator.exe -b -c /w/robot/robot.proj";
    QTest::newRow("open") << navigatorOpen(ide, "/w/robot/robot.proj")
                          << QStringList{"/w/robot/robot.proj"}
                          << "/dev root/SN451/bin/snavigator.exe /w/robot/robot.proj";
    QTest::newRow("plain start") << navigatorPlainStart(ide) << QStringList()
                                 << "/dev root/SN451/bin/snavigator.exe";
}

void RunAndWaitTest::navigatorCommands()
{
    QFETCH(Command, command);
    QFETCH(QStringList, arguments);
    QFETCH(QString, displayText);

    QCOMPARE(command.program, std::string("/dev root/SN451/bin/snavigator.exe"));
    QCOMPARE(toQStringList(command.arguments), arguments);
    QCOMPARE(QString::fromStdString(command.displayText()), displayText);
}

void RunAndWaitTest::runsOrEnds_data()
{
    QTest::addColumn<bool>("startable");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("runs to its end") << true
                                     << QStringList{"cursor: busy", "start: /ide -b -c /p q/x.proj",
                                                    "wait", "cursor: normal", "exit: 0"};
    // The busy cursor stays for the message.
    QTest::newRow("cannot be started")
        << false
        << QStringList{"cursor: busy", "start: /ide -b -c /p q/x.proj",
                       "message: Impossible de lancer la commande /ide -b -c /p q/x.proj",
                       "reason: " + systemMessage(std::errc::no_such_file_or_directory), "exit: 0"};
}

void RunAndWaitTest::runsOrEnds()
{
    QFETCH(bool, startable);
    QFETCH(QStringList, log);

    FakePlatform system;
    if (!startable)
        system.unstartablePrograms.insert("/ide");
    RecordingPlatform platform(system);
    const ActionOutcome outcome = RunAndWait(platform, {"/ide", {"-b", "-c", "/p q/x.proj"}});

    QCOMPARE(toQStringList(platform.log) + toQStringList(outcomeLog(outcome)), log);
}

void RunAndWaitTest::openExistingProjectEndsWhateverHappened_data()
{
    QTest::addColumn<bool>("startable");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("IDE runs") << true
                              << QStringList{"cursor: busy", "start: /dev/SN451/bin/snavigator.exe",
                                             "wait", "cursor: normal", "exit: 0"};
    QTest::newRow("IDE missing")
        << false
        << QStringList{"cursor: busy", "start: /dev/SN451/bin/snavigator.exe",
                       "message: Impossible de lancer la commande "
                       "/dev/SN451/bin/snavigator.exe",
                       "reason: " + systemMessage(std::errc::no_such_file_or_directory), "exit: 0"};
}

void RunAndWaitTest::openExistingProjectEndsWhateverHappened()
{
    QFETCH(bool, startable);
    QFETCH(QStringList, log);

    FakePlatform system;
    if (!startable)
        system.unstartablePrograms.insert("/dev/SN451/bin/snavigator.exe");
    RecordingPlatform platform(system);
    const ActionOutcome outcome = openExistingProject(platform, "/dev/SN451/bin/snavigator.exe");

    QCOMPARE(toQStringList(platform.log) + toQStringList(outcomeLog(outcome)), log);
    if (startable)
        QVERIFY(system.startedCommands.at(0).arguments.empty());
}

QTEST_APPLESS_MAIN(RunAndWaitTest)
#include "tst_runandwait.moc"
