// SPDX-License-Identifier: MIT
#include "launcher/TForm1.h"
#include "tests/FakePlatform.h"
#include "tests/TestSupport.h"

#include <QPushButton>
#include <QRadioButton>

namespace {

const std::string Root = "/dev";
const std::string Ide = "/dev/SN451/bin/snavigator.exe";

// A window over a scripted installation root with all four packs.
struct Scene
{
    FakePlatform *platform = nullptr;
    std::unique_ptr<TForm1> form;
    bool ended = false;

    explicit Scene(const std::string &root = Root)
    {
        auto fake = std::make_unique<FakePlatform>();
        fake->workingDirectory = root;
        fake->directories.insert(root);
        for (const char *pack : PlatformPacks) {
            fake->files.insert(root + "/" + pack + "/examples/Template.c");
            fake->files.insert(root + "/" + pack + "/examples/Makefile");
        }
        fake->directories.insert(
            {"/work", "/work/robot", "/work/my proj", "/work/locked", "/work/built"});
        fake->readOnlyDirectories.insert("/work/locked");
        fake->files.insert(
            {"/work/robot/main.c", "/work/file", "/work/built/main.c", "/work/built/Makefile"});
        platform = fake.get();
        form = std::make_unique<TForm1>(std::move(fake));
        platform->log.clear();
    }

    void choose(const QString &radio) { form->findChild<QRadioButton *>(radio)->click(); }

    void click(const QString &button)
    {
        try {
            form->findChild<QPushButton *>(button)->click();
        } catch (const FakePlatform::ProcessEnded &end) {
            QCOMPARE(end.status, 0);
            ended = true;
        }
    }
};

void addCommonColumns()
{
    QTest::addColumn<QString>("radio"); // empty: no platform chosen
    QTest::addColumn<std::optional<std::string>>("answer");
    QTest::addColumn<QStringList>("removed");
    QTest::addColumn<QStringList>("unstartable");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<QStringList>("log");
}

void runRow(const QString &button)
{
    QFETCH(QString, radio);
    QFETCH(std::optional<std::string>, answer);
    QFETCH(QStringList, removed);
    QFETCH(QStringList, unstartable);
    QFETCH(bool, ends);
    QFETCH(QStringList, log);

    Scene scene;
    for (const QString &path : removed)
        scene.platform->files.erase(path.toStdString());
    for (const QString &program : unstartable)
        scene.platform->unstartablePrograms.insert(program.toStdString());
    scene.platform->dialogAnswers.push_back(answer);
    if (!radio.isEmpty())
        scene.choose(radio);

    scene.click(button);

    QCOMPARE(toQStringList(scene.platform->log), log);
    QCOMPARE(scene.ended, ends);
}

const QString TemplateFilter = "*";
const QString FilesFilter = "*.c;*.cc;*.cpp;*.s;*.S";
const QString Exists = "reason: a file of that name is already there";
const QString NoSuchFile = "reason: " + systemMessage(std::errc::no_such_file_or_directory);
const QString PermissionDenied = "reason: " + systemMessage(std::errc::permission_denied);

// The dialog's settings in order, then its use; the title says what each road asks for.
QStringList dialogSteps(const QString &filter)
{
    const QString title = filter == TemplateFilter
                              ? "Create Project from Template — name a new folder"
                              : "Create Project from Files — choose one of your sources";
    return {"dialog.initialDir: /dev", "dialog.hideReadOnly", "dialog.filter: " + filter,
            "dialog.title: " + title, "dialog.execute"};
}

} // namespace

// The create actions behind the window's buttons, over a scripted platform.
class CreateActionsTest : public QObject
{
    Q_OBJECT

private slots:
    void fromTemplate_data();
    void fromTemplate();
    void fromFiles_data();
    void fromFiles();
    void cancelledDialogIsSetUpAgainTheSameWay_data();
    void cancelledDialogIsSetUpAgainTheSameWay();
    void dialogOpensWhereTheUserMayWrite_data();
    void dialogOpensWhereTheUserMayWrite();
    void rootDirectoryDoublesTheSeparator();
};

void CreateActionsTest::fromTemplate_data()
{
    addCommonColumns();
    const QStringList dialog = dialogSteps(TemplateFilter);
    const std::optional<std::string> demo("/work/demo");
    const QString copyC = "copy: /dev/palpack51/examples/Template.c -> /work/demo/demo.c";
    const QString copyMake = "copy: /dev/palpack51/examples/Makefile -> /work/demo/Makefile";
    const QStringList runs{"cursor: busy",
                           "start: " + QString::fromStdString(Ide) +
                               " --batchmode --create /work/demo/demo.proj",
                           "wait",
                           "cursor: normal",
                           "cursor: busy",
                           "start: " + QString::fromStdString(Ide) + " /work/demo/demo.proj",
                           "wait",
                           "cursor: normal",
                           "exit: 0"};

    QTest::newRow("no platform") << QString() << demo << QStringList() << QStringList() << false
                                 << QStringList{"message: Choisissez une plateforme, SVP !"};
    QTest::newRow("cancelled") << "ThePalmor" << std::optional<std::string>() << QStringList()
                               << QStringList() << false << dialog;
    QTest::newRow("success") << "ThePalmor" << demo << QStringList() << QStringList() << true
                             << dialog + QStringList{"mkdir: /work/demo", copyC, copyMake} + runs;
    QTest::newRow("Lenko Camera uses its own pack")
        << "TheTovrin" << demo << QStringList() << QStringList() << true
        << dialog +
               QStringList{"mkdir: /work/demo",
                           "copy: /dev/lnpack206/examples/Template.c -> /work/demo/demo.c",
                           "copy: /dev/lnpack206/examples/Makefile -> /work/demo/Makefile"} +
               runs;
    QTest::newRow("typed trailing separator")
        << "ThePalmor" << std::optional<std::string>("/work/demo/") << QStringList()
        << QStringList() << true
        << dialog + QStringList{"mkdir: /work/demo", copyC, copyMake} + runs;
    QTest::newRow("typed doubled trailing separator")
        << "ThePalmor" << std::optional<std::string>("/work/demo//") << QStringList()
        << QStringList() << true
        << dialog + QStringList{"mkdir: /work/demo", copyC, copyMake} + runs;
    QTest::newRow("name exists")
        << "ThePalmor" << std::optional<std::string>("/work/file") << QStringList() << QStringList()
        << true
        << dialog + QStringList{"mkdir: /work/file",
                                "message: Erreur lors de la création du répertoire : /work/file",
                                Exists, "exit: 0"};
    QTest::newRow("two new levels")
        << "ThePalmor" << std::optional<std::string>("/work/new/demo") << QStringList()
        << QStringList() << true
        << dialog +
               QStringList{"mkdir: /work/new/demo",
                           "message: Erreur lors de la création du répertoire : /work/new/demo",
                           NoSuchFile, "exit: 0"};
    QTest::newRow("folder not writable")
        << "ThePalmor" << std::optional<std::string>("/work/locked/demo") << QStringList()
        << QStringList() << true
        << dialog +
               QStringList{"mkdir: /work/locked/demo",
                           "message: Erreur lors de la création du répertoire : /work/locked/demo",
                           PermissionDenied, "exit: 0"};
    QTest::newRow("Template.c missing")
        << "TheDunnet" << demo << QStringList{"/dev/dunpack115/examples/Template.c"}
        << QStringList() << true
        << dialog + QStringList{"mkdir: /work/demo",
                                "copy: /dev/dunpack115/examples/Template.c -> /work/demo/demo.c",
                                "message: Erreur lors de la copie du fichier C patron : "
                                "/dev/dunpack115/examples/Template.c vers /work/demo/demo.c",
                                NoSuchFile, "exit: 0"};
    QTest::newRow("Makefile missing")
        << "TheVessik" << demo << QStringList{"/dev/vespack113/examples/Makefile"} << QStringList()
        << true
        << dialog + QStringList{"mkdir: /work/demo",
                                "copy: /dev/vespack113/examples/Template.c -> /work/demo/demo.c",
                                "copy: /dev/vespack113/examples/Makefile -> /work/demo/Makefile",
                                "message: Erreur lors de la copie du fichier Make patron : "
                                "/dev/vespack113/examples/Makefile vers /work/demo/Makefile",
                                NoSuchFile,
                                "exit: 0"};
    QTest::newRow("IDE missing") << "ThePalmor" << demo << QStringList()
                                 << QStringList{QString::fromStdString(Ide)} << true
                                 << dialog + QStringList{
                                                 "mkdir: /work/demo",
                                                 copyC,
                                                 copyMake,
                                                 "cursor: busy",
                                                 "start: " + QString::fromStdString(Ide) +
                                                     " --batchmode --create /work/demo/demo.proj",
                                                 "message: Impossible de lancer la commande " +
                                                     QString::fromStdString(Ide) +
                                                     " --batchmode --create /work/demo/demo.proj",
                                                 NoSuchFile,
                                                 "exit: 0"};
    QTest::newRow("name with an extension")
        << "ThePalmor" << std::optional<std::string>("/work/demo.txt") << QStringList()
        << QStringList() << true
        << dialog + QStringList{
                        "mkdir: /work/demo.txt",
                        "copy: /dev/palpack51/examples/Template.c -> /work/demo.txt/demo.txt.c",
                        "copy: /dev/palpack51/examples/Makefile -> /work/demo.txt/Makefile",
                        "cursor: busy",
                        "start: " + QString::fromStdString(Ide) +
                            " --batchmode --create /work/demo.txt/demo.txt.proj",
                        "wait",
                        "cursor: normal",
                        "cursor: busy",
                        "start: " + QString::fromStdString(Ide) + " /work/demo.txt/demo.txt.proj",
                        "wait",
                        "cursor: normal",
                        "exit: 0"};
}

void CreateActionsTest::fromTemplate()
{
    runRow("NewTempl");
}

void CreateActionsTest::fromFiles_data()
{
    addCommonColumns();
    const QStringList dialog = dialogSteps(FilesFilter);
    const std::optional<std::string> mainC("/work/robot/main.c");
    const QString copyMake = "copy: /dev/dunpack115/examples/Makefile -> /work/robot/Makefile";
    const QStringList runs{
        "cursor: busy", "start: " + QString::fromStdString(Ide) + " -b -c /work/robot/robot.proj",
        "wait",         "cursor: normal",
        "cursor: busy", "start: " + QString::fromStdString(Ide) + " /work/robot/robot.proj",
        "wait",         "cursor: normal",
        "exit: 0"};

    QTest::newRow("no platform") << QString() << mainC << QStringList() << QStringList() << false
                                 << QStringList{"message: Choisissez une plateforme, SVP !"};
    QTest::newRow("cancelled") << "TheDunnet" << std::optional<std::string>() << QStringList()
                               << QStringList() << false << dialog;
    QTest::newRow("success") << "TheDunnet" << mainC << QStringList() << QStringList() << true
                             << dialog + QStringList{copyMake} + runs;
    QTest::newRow("name from the directory, not the file")
        << "TheDunnet" << std::optional<std::string>("/work/robot/util.s") << QStringList()
        << QStringList() << true << dialog + QStringList{copyMake} + runs;
    QTest::newRow("typed name that does not exist")
        << "TheDunnet" << std::optional<std::string>("/work/robot/new.c") << QStringList()
        << QStringList() << true << dialog + QStringList{copyMake} + runs;
    QTest::newRow("Makefile missing in the pack")
        << "TheDunnet" << mainC << QStringList{"/dev/dunpack115/examples/Makefile"} << QStringList()
        << true
        << dialog + QStringList{copyMake,
                                "message: Erreur lors de la copie du fichier Make patron : "
                                "/dev/dunpack115/examples/Makefile vers /work/robot/Makefile",
                                NoSuchFile, "exit: 0"};
    QTest::newRow("Makefile already there")
        << "TheDunnet" << std::optional<std::string>("/work/built/main.c") << QStringList()
        << QStringList() << true
        << dialog + QStringList{"copy: /dev/dunpack115/examples/Makefile -> /work/built/Makefile",
                                "message: Erreur lors de la copie du fichier Make patron : "
                                "/dev/dunpack115/examples/Makefile vers /work/built/Makefile",
                                Exists, "exit: 0"};
    QTest::newRow("IDE missing") << "TheDunnet" << mainC << QStringList()
                                 << QStringList{QString::fromStdString(Ide)} << true
                                 << dialog +
                                        QStringList{copyMake,
                                                    "cursor: busy",
                                                    "start: " + QString::fromStdString(Ide) +
                                                        " -b -c /work/robot/robot.proj",
                                                    "message: Impossible de lancer la commande " +
                                                        QString::fromStdString(Ide) +
                                                        " -b -c /work/robot/robot.proj",
                                                    NoSuchFile,
                                                    "exit: 0"};
    QTest::newRow("spaces stay in the text")
        << "ThePalmor" << std::optional<std::string>("/work/my proj/a b.c") << QStringList()
        << QStringList() << true
        << dialog +
               QStringList{"copy: /dev/palpack51/examples/Makefile -> /work/my proj/Makefile",
                           "cursor: busy",
                           "start: " + QString::fromStdString(Ide) +
                               " -b -c /work/my proj/my proj.proj",
                           "wait",
                           "cursor: normal",
                           "cursor: busy",
                           "start: " + QString::fromStdString(Ide) + " /work/my proj/my proj.proj",
                           "wait",
                           "cursor: normal",
                           "exit: 0"};
    // The file system's root has no name to call the project by: refused, nothing written.
    QTest::newRow("file directly in the root")
        << "ThePalmor" << std::optional<std::string>("/main.c") << QStringList() << QStringList()
        << true
        << dialog + QStringList{"message: Impossible de créer un projet sans nom dans le "
                                "répertoire : /",
                                "exit: 0"};
}

void CreateActionsTest::fromFiles()
{
    runRow("NewProject");
}

void CreateActionsTest::cancelledDialogIsSetUpAgainTheSameWay_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("filter");
    QTest::newRow("from template") << "NewTempl" << TemplateFilter;
    QTest::newRow("from files") << "NewProject" << FilesFilter;
}

void CreateActionsTest::cancelledDialogIsSetUpAgainTheSameWay()
{
    QFETCH(QString, button);
    QFETCH(QString, filter);

    Scene scene;
    scene.platform->dialogAnswers = {std::nullopt, std::nullopt};
    scene.choose("TheVessik");
    scene.click(button);
    scene.click(button);

    QVERIFY(!scene.ended);
    QCOMPARE(toQStringList(scene.platform->log), dialogSteps(filter) + dialogSteps(filter));
    QCOMPARE(int(scene.form->platformIndex()), 2);
}

void CreateActionsTest::dialogOpensWhereTheUserMayWrite_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("rootWritable");
    QTest::addColumn<std::optional<std::string>>("home");
    QTest::addColumn<QString>("initialDir");

    const std::optional<std::string> home("/home/zoé");
    QTest::newRow("template, root writable") << "NewTempl" << true << home << "/dev";
    QTest::newRow("template, root read-only") << "NewTempl" << false << home << "/home/zoé";
    QTest::newRow("files, root read-only") << "NewProject" << false << home << "/home/zoé";
    QTest::newRow("root read-only, no HOME")
        << "NewTempl" << false << std::optional<std::string>() << "/dev";
}

void CreateActionsTest::dialogOpensWhereTheUserMayWrite()
{
    QFETCH(QString, button);
    QFETCH(bool, rootWritable);
    QFETCH(std::optional<std::string>, home);
    QFETCH(QString, initialDir);

    Scene scene;
    if (!rootWritable)
        scene.platform->readOnlyDirectories.insert(Root);
    if (home)
        scene.platform->environment["HOME"] = *home;
    scene.platform->dialogAnswers = {std::nullopt};
    scene.choose("TheVessik");
    scene.click(button);

    QVERIFY(!scene.ended);
    QCOMPARE(QString::fromStdString(scene.platform->log.front()),
             "dialog.initialDir: " + initialDir);
}

void CreateActionsTest::rootDirectoryDoublesTheSeparator()
{
    Scene scene("/");
    scene.platform->dialogAnswers = {std::optional<std::string>("/work/demo")};
    scene.choose("ThePalmor");
    scene.click("NewTempl");

    QVERIFY(scene.ended);
    const QStringList log = toQStringList(scene.platform->log);
    QVERIFY(log.contains("copy: //palpack51/examples/Template.c -> /work/demo/demo.c"));
    QVERIFY(log.contains("start: //SN451/bin/snavigator.exe /work/demo/demo.proj"));
}

QTEST_MAIN(CreateActionsTest)
#include "tst_createactions.moc"
