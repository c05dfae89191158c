// SPDX-License-Identifier: MIT
#include "tests/Boards.h"
#include "tests/TestFiles.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

// The built window in a process of its own, offscreen, with the real dialog.
class EndToEndOffscreenTest : public QObject
{
    Q_OBJECT

private slots:
    void clicksThroughTheWindow_data();
    void clicksThroughTheWindow();
    void removedCurrentDirectoryIsReportedAndStartUpGoesOn();
};

void EndToEndOffscreenTest::clicksThroughTheWindow_data()
{
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("typed"); // relative to the work directory
    QTest::addColumn<QStringList>("output");
    QTest::addColumn<QStringList>("created");
    QTest::addColumn<QStringList>("runs");

    QTest::newRow("template, new project with spaces")
        << "ThePalmor"
        << "NewTempl"
        << "new robot" << QStringList{"dialog: {root}", "filter: *"}
        << QStringList{"new robot", "new robot/Makefile", "new robot/new robot.c",
                       "new robot/new robot.proj"}
        << QStringList{"run",          "arg=--batchmode",
                       "arg=--create", "arg={work}/new robot/new robot.proj",
                       "run",          "arg={work}/new robot/new robot.proj"};
    QTest::newRow("files, chosen source")
        << "TheTovrin"
        << "NewProject"
        << "sources/main.c" << QStringList{"dialog: {root}", "filter: *.c *.cc *.cpp *.s *.S"}
        << QStringList{"sources/Makefile", "sources/sources.proj"}
        << QStringList{"run",    "arg=-b",
                       "arg=-c", "arg={work}/sources/sources.proj",
                       "run",    "arg={work}/sources/sources.proj"};
    QTest::newRow("template, name taken")
        << "ThePalmor"
        << "NewTempl"
        << "sources/main.c"
        << QStringList{"dialog: {root}", "filter: *",
                       "message: Erreur lors de la création du répertoire : {work}/sources/main.c",
                       "reason: a file of that name is already there"}
        << QStringList() << QStringList();
    QTest::newRow("no platform chosen")
        << ""
        << "NewTempl"
        << "unused"
        << QStringList{"message: Choisissez une plateforme, SVP !", "returned to the window"}
        << QStringList() << QStringList();
}

void EndToEndOffscreenTest::clicksThroughTheWindow()
{
    QFETCH(QString, radio);
    QFETCH(QString, button);
    QFETCH(QString, typed);
    QFETCH(QStringList, output);
    QFETCH(QStringList, created);
    QFETCH(QStringList, runs);

    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QString root = temporary.path() + "/install é";
    const QString work = temporary.path() + "/work";
    const QString runLog = temporary.path() + "/runs";
    installRecordingIde(root + "/SN451/bin/snavigator.exe");
    for (const BoardEntry &board : Boards) {
        const QString pack = board.pack;
        writeFile(root + "/" + pack + "/examples/Template.c", "/* " + pack.toUtf8() + " */\n",
                  QFile::ReadOwner | QFile::WriteOwner);
        writeFile(root + "/" + pack + "/examples/Makefile", "# " + pack.toUtf8() + "\n",
                  QFile::ReadOwner | QFile::WriteOwner);
    }
    writeFile(work + "/sources/main.c", "int main(void) { return 0; }\n",
              QFile::ReadOwner | QFile::WriteOwner);
    const auto before = snapshotTree(work);

    QProcess launcher;
    launcher.setWorkingDirectory(root);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("IDE_RUNS", runLog);
    launcher.setProcessEnvironment(environment);
    launcher.start(QStringLiteral(LAUNCHER_CHILD), {radio, button, work + "/" + typed});
    QVERIFY(launcher.waitForFinished(60000));
    QCOMPARE(launcher.exitStatus(), QProcess::NormalExit);
    QCOMPARE(launcher.exitCode(), 0);

    const auto expand = [&](QStringList lines) {
        for (QString &line : lines)
            line.replace("{root}", root).replace("{work}", work);
        return lines;
    };
    QCOMPARE(QString::fromUtf8(launcher.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
             expand(output));

    const auto after = snapshotTree(work);
    QStringList added;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            added << QString::fromUtf8(it.key());
        else
            QCOMPARE(it.value(), before.value(it.key()));
    }
    QCOMPARE(added, created);
    QCOMPARE(recordedIdeLines(runLog), expand(runs));
}

void EndToEndOffscreenTest::removedCurrentDirectoryIsReportedAndStartUpGoesOn()
{
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QString gone = temporary.path() + "/gone";
    QVERIFY(QDir().mkdir(gone));

    // The shell removes its own working directory, then becomes the launcher.
    QProcess launcher;
    launcher.start("/bin/sh", {"-c", "cd \"$1\" && rmdir \"$1\" && exec \"$2\" '' '' ''", "sh",
                               gone, QStringLiteral(LAUNCHER_CHILD)});
    QVERIFY(launcher.waitForFinished(60000));
    QCOMPARE(launcher.exitStatus(), QProcess::NormalExit);
    QCOMPARE(launcher.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(launcher.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
             QStringList{"message: Cannot get current directory, please rerun the application."});
}

QTEST_MAIN(EndToEndOffscreenTest)
#include "tst_endtoend_offscreen.moc"
