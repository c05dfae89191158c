#include "CreateProjectFromFiles.h"
#include "CreateProjectFromTemplate.h"
#include "ScriptedDialogPlatform.h"
#include "TestFiles.h"
#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

// An installation root whose IDE records each run's arguments, and a work
// directory for the user's projects, both with awkward names.
struct Installation
{
    QTemporaryDir temporary;
    QString root;
    QString work;
    QString runs;

    Installation()
    {
        root = temporary.path() + "/dév root";
        work = temporary.path() + "/my work";
        runs = temporary.path() + "/runs";
        QDir().mkpath(work);
        writeFile(
            root + "/SN451/bin/snavigator.exe",
            "#!/bin/sh\n"
            "{ echo run; for a in \"$@\"; do printf 'arg=%s\\n' \"$a\"; done; } >> \"$RUNS\"\n",
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeFile(root + "/palpack51/examples/Template.c", "int main(void) { return 0; }\n",
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
        writeFile(root + "/palpack51/examples/Makefile", "all:\n\techo palmor\n");
        qputenv("RUNS", QFile::encodeName(runs));
    }

    ProjectSetup setup() const
    {
        const std::string rootDir = QFile::encodeName(root).toStdString();
        return {rootDir, rootDir + "/SN451/bin/snavigator.exe", "palpack51"};
    }

    QStringList recordedRuns() const
    {
        QFile file(runs);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
};

} // namespace

// The create actions on real directories and files, with a recording IDE.
class CreateActionsFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void createsOrRefuses_data();
    void createsOrRefuses();
};

void CreateActionsFilesTest::createsOrRefuses_data()
{
    QTest::addColumn<bool>("fromTemplate");
    QTest::addColumn<QStringList>("existing"); // "file:name=bytes", "dir:name", "link:name=target"
    QTest::addColumn<bool>("removeTemplateC");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("created");
    QTest::addColumn<QString>("message"); // {root} and {work} stand for the directories
    QTest::addColumn<QString>("projectFile");

    const QString oddName = "a b \"q\" 'x';|&$(touch pwned)`touch pwned2`*-é";
    QTest::newRow("template: new directory")
        << true << QStringList() << false << "demo"
        << QStringList{"demo", "demo/demo.c", "demo/Makefile"} << QString() << "demo/demo.proj";
    QTest::newRow("template: name with an extension")
        << true << QStringList() << false << "demo.txt"
        << QStringList{"demo.txt", "demo.txt/demo.txt.c", "demo.txt/Makefile"} << QString()
        << "demo.txt/demo.txt.proj";
    QTest::newRow("template: odd characters")
        << true << QStringList() << false << oddName
        << QStringList{oddName, oddName + "/" + oddName + ".c", oddName + "/Makefile"} << QString()
        << oddName + "/" + oddName + ".proj";
    QTest::newRow("template: a file of that name")
        << true << QStringList{"file:demo=my notes"} << false << "demo" << QStringList()
        << "Erreur lors de la création du répertoire : {work}/demo" << QString();
    QTest::newRow("template: a directory of that name")
        << true << QStringList{"dir:demo", "file:demo/demo.c=mine"} << false << "demo"
        << QStringList() << "Erreur lors de la création du répertoire : {work}/demo" << QString();
    QTest::newRow("template: a dangling link of that name")
        << true << QStringList{"link:demo=nowhere"} << false << "demo" << QStringList()
        << "Erreur lors de la création du répertoire : {work}/demo" << QString();
    QTest::newRow("template: Template.c missing")
        << true << QStringList() << true << "demo" << QStringList{"demo"}
        << "Erreur lors de la copie du fichier C patron : {root}/palpack51/examples/Template.c "
           "vers {work}/demo/demo.c"
        << QString();
    QTest::newRow("files: Makefile copied, name from the directory")
        << false << QStringList{"dir:robot", "file:robot/main.c=int x;", "file:robot/util.s=nop"}
        << false << "robot/util.s" << QStringList{"robot/Makefile"} << QString()
        << "robot/robot.proj";
    QTest::newRow("files: odd characters")
        << false << QStringList{"dir:" + oddName, "file:" + oddName + "/main.c=int x;"} << false
        << oddName + "/main.c" << QStringList{oddName + "/Makefile"} << QString()
        << oddName + "/" + oddName + ".proj";
    QTest::newRow("files: existing Makefile")
        << false << QStringList{"dir:robot", "file:robot/main.c=int x;", "file:robot/Makefile=mine"}
        << false << "robot/main.c" << QStringList()
        << "Erreur lors de la copie du fichier Make patron : {root}/palpack51/examples/Makefile "
           "vers {work}/robot/Makefile"
        << QString();
    QTest::newRow("files: dangling link named Makefile")
        << false
        << QStringList{"dir:robot", "file:robot/main.c=int x;", "link:robot/Makefile=../gone"}
        << false << "robot/main.c" << QStringList()
        << "Erreur lors de la copie du fichier Make patron : {root}/palpack51/examples/Makefile "
           "vers {work}/robot/Makefile"
        << QString();
}

void CreateActionsFilesTest::createsOrRefuses()
{
    QFETCH(bool, fromTemplate);
    QFETCH(QStringList, existing);
    QFETCH(bool, removeTemplateC);
    QFETCH(QString, answer);
    QFETCH(QStringList, created);
    QFETCH(QString, message);
    QFETCH(QString, projectFile);

    Installation installation;
    QVERIFY(installation.temporary.isValid());
    for (const QString &entry : existing) {
        const QString kind = entry.section(':', 0, 0);
        const QString rest = entry.section(':', 1);
        const QString path = installation.work + "/" + rest.section('=', 0, 0);
        if (kind == "dir")
            QVERIFY(QDir().mkpath(path));
        else if (kind == "file")
            writeFile(path, rest.section('=', 1).toUtf8());
        else
            QVERIFY(QFile::link(rest.section('=', 1), path));
    }
    if (removeTemplateC)
        QVERIFY(QFile::remove(installation.root + "/palpack51/examples/Template.c"));
    const auto before = snapshotTree(installation.work);

    ScriptedDialogPlatform platform;
    platform.dialogAnswer = QFile::encodeName(installation.work + "/" + answer).toStdString();
    try {
        if (fromTemplate)
            createProjectFromTemplate(platform, installation.setup());
        else
            createProjectFromFiles(platform, installation.setup());
        QFAIL("the action returned");
    } catch (const ScriptedDialogPlatform::ProcessEnded &end) {
        QCOMPARE(end.status, 0);
    }

    // Nothing that was there changed; exactly the expected entries are new.
    const auto after = snapshotTree(installation.work);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(after.value(it.key()), it.value());
    QStringList added;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            added << it.key();
    }
    created.sort();
    QCOMPARE(added, created);
    for (const QString &entry : created) {
        if (entry.endsWith(".c"))
            QCOMPARE(after.value(entry), QByteArray("file:int main(void) { return 0; }\n"));
        if (entry.endsWith("Makefile"))
            QCOMPARE(after.value(entry), QByteArray("file:all:\n\techo palmor\n"));
    }
    if (created.contains("demo/demo.c")) {
        // The template's permission bits, not the umask's.
        QCOMPARE(QFileInfo(installation.work + "/demo/demo.c").permissions(),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
                     QFile::ReadUser | QFile::WriteUser);
    }

    QString expectedMessage = message;
    expectedMessage.replace("{root}", installation.root).replace("{work}", installation.work);
    QCOMPARE(toQStringList(platform.messages),
             message.isEmpty() ? QStringList() : QStringList{expectedMessage});

    // The IDE ran twice, batch then open, with the project file as one argument, or not at all.
    const QString file = installation.work + "/" + projectFile;
    const QStringList batch = fromTemplate ? QStringList{"arg=--batchmode", "arg=--create"}
                                           : QStringList{"arg=-b", "arg=-c"};
    const QStringList expectedRuns =
        projectFile.isEmpty()
            ? QStringList()
            : QStringList{"run"} + batch + QStringList{"arg=" + file, "run", "arg=" + file};
    QCOMPARE(installation.recordedRuns(), expectedRuns);
    QVERIFY(!QFile::exists(installation.work + "/pwned"));
    QVERIFY(!QFile::exists(QDir::currentPath() + "/pwned"));
    QVERIFY(!QFile::exists(QDir::currentPath() + "/pwned2"));
}

QTEST_MAIN(CreateActionsFilesTest)
#include "tst_createactions_files.moc"
