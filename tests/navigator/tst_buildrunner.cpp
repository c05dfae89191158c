// SPDX-License-Identifier: MIT
#include "navigator/BuildRunner.h"
#include "tests/navigator/BuildTestSupport.h"

#include <QSignalSpy>
#include <QThread>

using Outcome = BuildRunner::Outcome;
using namespace navtest;

// Runs real make processes, each in a project directory of its own.
class BuildRunnerTest : public QObject
{
    Q_OBJECT

private slots:
    void reportsEnd_data();
    void reportsEnd();
    void decodesCharacterSplitAcrossReads();
    void refusesUndecodableDirectory();
    void endsEveryProcessOfTheBuild_data();
    void endsEveryProcessOfTheBuild();
};

namespace {

QString received(const QSignalSpy &output)
{
    QString text;
    for (const QList<QVariant> &arguments : output)
        text += arguments.at(0).toString();
    return text;
}

} // namespace

void BuildRunnerTest::reportsEnd_data()
{
    QTest::addColumn<QByteArray>("makefile"); // null: no Makefile
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("output"); // part of it
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("exitStatus");

    QTest::newRow("success") << QByteArray("all:\n\t@echo all done\n") << QStringList{}
                             << QStringLiteral("all done\n") << Outcome::Succeeded << 0;
    QTest::newRow("failing recipe: make's own status")
        << QByteArray("all:\n\t@echo failing; exit 7\n") << QStringList{}
        << QStringLiteral("Error 7") << Outcome::Failed << 2;
    QTest::newRow("stderr merged") << QByteArray("all:\n\t@echo to stderr >&2\n") << QStringList{}
                                   << QStringLiteral("to stderr\n") << Outcome::Succeeded << 0;
    QTest::newRow("arguments passed as given")
        << QByteArray("all:\n\t@echo wrong target\nclean:\n\t@echo cleaned up\n")
        << QStringList{"clean"} << QStringLiteral("cleaned up\n") << Outcome::Succeeded << 0;
    QTest::newRow("one job per core")
        << QByteArray("all:\n\t@echo \"flags $(MAKEFLAGS)\"\n") << QStringList{}
        << QStringLiteral(" -j%1").arg(QThread::idealThreadCount()) << Outcome::Succeeded << 0;
    QTest::newRow("no makefile") << QByteArray() << QStringList{}
                                 << QStringLiteral("no makefile found") << Outcome::Failed << 2;
    QTest::newRow("make killed") << QByteArray("all:\n\t@kill -KILL $$PPID\n") << QStringList{}
                                 << QString() << Outcome::Crashed << 0;
}

void BuildRunnerTest::reportsEnd()
{
    QFETCH(QByteArray, makefile);
    QFETCH(QStringList, arguments);
    QFETCH(QString, output);
    QFETCH(Outcome, outcome);
    QFETCH(int, exitStatus);

    const TempDir dir;
    if (!makefile.isNull())
        QVERIFY(writeMakefile(dir.path(), makefile.toStdString()));

    BuildRunner runner;
    QSignalSpy outputSpy(&runner, &BuildRunner::outputReceived);
    QSignalSpy finishedSpy(&runner, &BuildRunner::finished);
    runner.start(dir.path(), arguments);
    QVERIFY(runner.isRunning());
    QTRY_COMPARE_WITH_TIMEOUT(finishedSpy.count(), 1, buildTimeoutMs);
    QCOMPARE(finishedSpy.at(0).at(0).value<Outcome>(), outcome);
    QCOMPARE(finishedSpy.at(0).at(1).toInt(), exitStatus);
    QVERIFY(!runner.isRunning());
    QVERIFY2(received(outputSpy).contains(output), qPrintable(received(outputSpy)));
}

void BuildRunnerTest::decodesCharacterSplitAcrossReads()
{
    const TempDir dir;
    // The two bytes of "é", written apart.
    QVERIFY(writeMakefile(dir.path(), "all:\n\t@printf '\\303'; sleep 0.3; printf '\\251\\n'\n"));

    BuildRunner runner;
    QSignalSpy outputSpy(&runner, &BuildRunner::outputReceived);
    QSignalSpy finishedSpy(&runner, &BuildRunner::finished);
    runner.start(dir.path());
    QTRY_COMPARE_WITH_TIMEOUT(finishedSpy.count(), 1, buildTimeoutMs);
    QCOMPARE(received(outputSpy), QStringLiteral("\u00e9\n"));
}

void BuildRunnerTest::refusesUndecodableDirectory()
{
    const TempDir dir;
    const std::string project = dir.file("r\xe9\xff");
    QCOMPARE(::mkdir(project.c_str(), 0777), 0);
    QVERIFY(writeMakefile(project, "all:\n\t@touch built\n"));
    QVERIFY(writeMakefile(dir.path(), "all:\n\t@touch built\n"));

    BuildRunner runner;
    QSignalSpy finishedSpy(&runner, &BuildRunner::finished);
    runner.start(project);
    QTRY_COMPARE_WITH_TIMEOUT(finishedSpy.count(), 1, buildTimeoutMs);
    QCOMPARE(finishedSpy.at(0).at(0).value<Outcome>(), Outcome::FailedToStart);
    const QString reason = finishedSpy.at(0).at(2).toString();
    QVERIFY2(reason.startsWith(QStringLiteral("the project directory '")), qPrintable(reason));
    QVERIFY(!runner.isRunning());
    QVERIFY(!exists(project + "/built"));
    QVERIFY(!exists(dir.file("built")));
}

void BuildRunnerTest::endsEveryProcessOfTheBuild_data()
{
    QTest::addColumn<QByteArray>("recipe");
    QTest::addColumn<QString>("ending");  // stop, destroy (the runner), kill (its process), none
    QTest::addColumn<Outcome>("outcome"); // reported by a runner left alive

    const QByteArray background = "sleep 300 & echo $$! > sleep.pid; ";
    const QByteArray ignoreTerm = "trap '' TERM; ";
    const auto row = [](const char *name, const QByteArray &recipe, const char *ending,
                        Outcome outcome) {
        QTest::newRow(name) << recipe << ending << outcome;
    };
    row("stop", background + "wait", "stop", Outcome::Stopped);
    row("stop, SIGTERM ignored", ignoreTerm + background + "wait", "stop", Outcome::Stopped);
    row("runner destroyed", background + "wait", "destroy", Outcome::Stopped);
    row("navigator killed", background + "wait", "kill", Outcome::Stopped);
    row("make ends first", background, "none", Outcome::Succeeded);
    row("make ends first, SIGTERM ignored", ignoreTerm + background, "none", Outcome::Succeeded);
}

void BuildRunnerTest::endsEveryProcessOfTheBuild()
{
    QFETCH(QByteArray, recipe);
    QFETCH(QString, ending);
    QFETCH(Outcome, outcome);

    const TempDir dir;
    QVERIFY(writeMakefile(dir.path(), "all:\n\t@" + recordBuildPids + recipe.toStdString() + "\n"));
    const BuildPids pids(dir.path());

    QProcess navigator;
    auto runner = std::make_unique<BuildRunner>();
    QSignalSpy finishedSpy(runner.get(), &BuildRunner::finished);
    if (ending == "kill")
        navigator.start(QStringLiteral(BUILDRUNNER_CHILD), {QFile::decodeName(dir.path().c_str())});
    else
        runner->start(dir.path());
    QTRY_VERIFY_WITH_TIMEOUT(pids.recorded(), buildTimeoutMs);
    if (ending != "none")
        QVERIFY(pids.noneEnded());

    if (ending == "destroy")
        runner.reset();
    else if (ending == "stop")
        runner->stop(300);
    else if (ending == "kill")
        navigator.kill();

    QTRY_VERIFY_WITH_TIMEOUT(pids.allEnded(), buildTimeoutMs);
    // A destroyed runner reports nothing.
    if (runner && ending != "kill") {
        QTRY_COMPARE_WITH_TIMEOUT(finishedSpy.count(), 1, buildTimeoutMs);
        QCOMPARE(finishedSpy.at(0).at(0).value<Outcome>(), outcome);
        QVERIFY(!runner->isRunning());
    }
}

QTEST_GUILESS_MAIN(BuildRunnerTest)
#include "tst_buildrunner.moc"
