// SPDX-License-Identifier: MIT
#include "actions/CreateProjectFromFiles.h"
#include "actions/CreateProjectFromTemplate.h"
#include "launcher/TForm1.h"
#include "launcher/ToolchainEnvironment.h"
#include "tests/FakePlatform.h"
#include "tests/RecordingPlatform.h"
#include "tests/TestSupport.h"

#include <QPushButton>
#include <QRadioButton>

namespace {

const std::string Root = "/dev";
const std::string Ide = "/dev/SN451/bin/snavigator.exe";

// A scripted installation root with all four packs, and the user's folders.
struct Scene
{
    FakePlatform system;
    RecordingPlatform platform{system};
    std::string root;

    explicit Scene(const std::string &rootDir = Root) : root(rootDir)
    {
        system.workingDirectory = root;
        system.directories.insert(root);
        for (const char *pack : PlatformPacks) {
            system.files.insert(root + "/" + pack + "/examples/Template.c");
            system.files.insert(root + "/" + pack + "/examples/Makefile");
        }
        system.directories.insert(
            {"/work", "/work/robot", "/work/my proj", "/work/locked", "/work/built"});
        system.readOnlyDirectories.insert("/work/locked");
        system.files.insert(
            {"/work/robot/main.c", "/work/file", "/work/built/main.c", "/work/built/Makefile"});
    }

    // Runs the button's action for the pack (none when empty); the log, with
    // how the window would finish the action.
    QStringList run(const QString &button, const QString &pack)
    {
        const ToolchainPaths paths = exportToolchainEnvironment(system);
        const ProjectSetup setup{paths.rootDir, paths.navigatorExe,
                                 pack.isEmpty() ? std::nullopt : std::optional(pack.toStdString())};
        const ActionOutcome outcome = button == "NewTempl"
                                          ? createProjectFromTemplate(platform, setup)
                                          : createProjectFromFiles(platform, setup);
        return toQStringList(platform.log) + toQStringList(outcomeLog(outcome));
    }
};

void addCommonColumns()
{
    QTest::addColumn<QString>("pack"); // empty: no platform chosen
    QTest::addColumn<std::optional<std::string>>("answer");
    QTest::addColumn<QStringList>("removed");
    QTest::addColumn<QStringList>("unstartable");
    QTest::addColumn<QStringList>("log");
}

void runRow(const QString &button)
{
    QFETCH(QString, pack);
    QFETCH(std::optional<std::string>, answer);
    QFETCH(QStringList, removed);
    QFETCH(QStringList, unstartable);
    QFETCH(QStringList, log);

    Scene scene;
    for (const QString &path : removed)
        scene.system.files.erase(path.toStdString());
    for (const QString &program : unstartable)
        scene.system.unstartablePrograms.insert(program.toStdString());
    scene.system.dialogAnswers.push_back(answer);

    QCOMPARE(scene.run(button, pack), log);
}

const QString TemplateFilter = "*";
const QString FilesFilter = "*.c;*.cc;*.cpp;*.s;*.S";
const QString Exists = "reason: a file of that name is already there";
const QString NoSuchFile = "reason: " + systemMessage(std::errc::no_such_file_or_directory);
const QString PermissionDenied = "reason: " + systemMessage(std::errc::permission_denied);
const std::optional<std::string> Cancelled;

// The dialog's settings in order, then its use; the title says what each road asks for.
QStringList dialogSteps(const QString &filter)
{
    const QString title = filter == TemplateFilter
                              ? "Create Project from Template — name a new folder"
                              : "Create Project from Files — choose one of your sources";
    return {"dialog.initialDir: /dev", "dialog.hideReadOnly", "dialog.filter: " + filter,
            "dialog.title: " + title, "dialog.execute"};
}

// The IDE run with the arguments, to its end.
QStringList ideRun(const QString &arguments)
{
    return {"cursor: busy", "start: " + QString::fromStdString(Ide) + " " + arguments, "wait",
            "cursor: normal"};
}

// The IDE creating the project file with the batch options, then opening it; then the end.
QStringList createAndOpen(const QString &batchOptions, const QString &projectFile)
{
    return ideRun(batchOptions + " " + projectFile) + ideRun(projectFile) + QStringList{"exit: 0"};
}

// The IDE that cannot be started with the arguments, and the end.
QStringList ideMissing(const QString &arguments)
{
    const QString command = QString::fromStdString(Ide) + " " + arguments;
    return {"cursor: busy", "start: " + command,
            "message: Impossible de lancer la commande " + command, NoSuchFile, "exit: 0"};
}

// A failure's message and reason, and the end.
QStringList failure(const QString &message, const QString &reason)
{
    return {"message: " + message, reason, "exit: 0"};
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
    const QStringList copies{"mkdir: /work/demo",
                             "copy: /dev/palpack51/examples/Template.c -> /work/demo/demo.c",
                             "copy: /dev/palpack51/examples/Makefile -> /work/demo/Makefile"};
    const QStringList runs = createAndOpen("--batchmode --create", "/work/demo/demo.proj");
    const QStringList none;

    QTest::newRow("no platform") << QString() << demo << none << none
                                 << QStringList{"message: Choisissez une plateforme, SVP !"};
    QTest::newRow("cancelled") << "palpack51" << Cancelled << none << none << dialog;
    QTest::newRow("success") << "palpack51" << demo << none << none << dialog + copies + runs;
    QTest::newRow("Lenko Camera uses its own pack")
        << "lnpack206" << demo << none << none
        << dialog +
               QStringList{"mkdir: /work/demo",
                           "copy: /dev/lnpack206/examples/Template.c -> /work/demo/demo.c",
                           "copy: /dev/lnpack206/examples/Makefile -> /work/demo/Makefile"} +
               runs;
    QTest::newRow("typed trailing separator")
        << "palpack51" << std::optional<std::string>("/work/demo/") << none << none
        << dialog + copies + runs;
    QTest::newRow("typed doubled trailing separator")
        << "palpack51" << std::optional<std::string>("/work/demo//") << none << none
        << dialog + copies + runs;
    QTest::newRow("name exists")
        << "palpack51" << std::optional<std::string>("/work/file") << none << none
        << dialog + QStringList{"mkdir: /work/file"} +
               failure("Erreur lors de la création du répertoire : /work/file", Exists);
    QTest::newRow("two new levels")
        << "palpack51" << std::optional<std::string>("/work/new/demo") << none << none
        << dialog + QStringList{"mkdir: /work/new/demo"} +
               failure("Erreur lors de la création du répertoire : /work/new/demo", NoSuchFile);
    QTest::newRow("folder not writable")
        << "palpack51" << std::optional<std::string>("/work/locked/demo") << none << none
        << dialog + QStringList{"mkdir: /work/locked/demo"} +
               failure("Erreur lors de la création du répertoire : /work/locked/demo",
                       PermissionDenied);
    QTest::newRow("Template.c missing")
        << "dunpack115" << demo << QStringList{"/dev/dunpack115/examples/Template.c"} << none
        << dialog +
               QStringList{"mkdir: /work/demo",
                           "copy: /dev/dunpack115/examples/Template.c -> /work/demo/demo.c"} +
               failure("Erreur lors de la copie du fichier C patron : "
                       "/dev/dunpack115/examples/Template.c vers /work/demo/demo.c",
                       NoSuchFile);
    QTest::newRow("Makefile missing")
        << "vespack113" << demo << QStringList{"/dev/vespack113/examples/Makefile"} << none
        << dialog +
               QStringList{"mkdir: /work/demo",
                           "copy: /dev/vespack113/examples/Template.c -> /work/demo/demo.c",
                           "copy: /dev/vespack113/examples/Makefile -> /work/demo/Makefile"} +
               failure("Erreur lors de la copie du fichier Make patron : "
                       "/dev/vespack113/examples/Makefile vers /work/demo/Makefile",
                       NoSuchFile);
    QTest::newRow("IDE missing") << "palpack51" << demo << none
                                 << QStringList{QString::fromStdString(Ide)}
                                 << dialog + copies +
                                        ideMissing("--batchmode --create /work/demo/demo.proj");
    QTest::newRow("name with an extension")
        << "palpack51" << std::optional<std::string>("/work/demo.txt") << none << none
        << dialog +
               QStringList{"mkdir: /work/demo.txt",
                           "copy: /dev/palpack51/examples/Template.c -> /work/demo.txt/demo.txt.c",
                           "copy: /dev/palpack51/examples/Makefile -> /work/demo.txt/Makefile"} +
               createAndOpen("--batchmode --create", "/work/demo.txt/demo.txt.proj");
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
    const QStringList runs = createAndOpen("-b -c", "/work/robot/robot.proj");
    const QStringList none;

    QTest::newRow("no platform") << QString() << mainC << none << none
                                 << QStringList{"message: Choisissez une plateforme, SVP !"};
    QTest::newRow("cancelled") << "dunpack115" << Cancelled << none << none << dialog;
    QTest::newRow("success") << "dunpack115" << mainC << none << none
                             << dialog + QStringList{copyMake} + runs;
    QTest::newRow("name from the directory, not the file")
        << "dunpack115" << std::optional<std::string>("/work/robot/util.s") << none << none
        << dialog + QStringList{copyMake} + runs;
    QTest::newRow("typed name that does not exist")
        << "dunpack115" << std::optional<std::string>("/work/robot/new.c") << none << none
        << dialog + QStringList{copyMake} + runs;
    QTest::newRow("Makefile missing in the pack")
        << "dunpack115" << mainC << QStringList{"/dev/dunpack115/examples/Makefile"} << none
        << dialog + QStringList{copyMake} +
               failure("Erreur lors de la copie du fichier Make patron : "
                       "/dev/dunpack115/examples/Makefile vers /work/robot/Makefile",
                       NoSuchFile);
    QTest::newRow("Makefile already there")
        << "dunpack115" << std::optional<std::string>("/work/built/main.c") << none << none
        << dialog + QStringList{"copy: /dev/dunpack115/examples/Makefile -> /work/built/Makefile"} +
               failure("Erreur lors de la copie du fichier Make patron : "
                       "/dev/dunpack115/examples/Makefile vers /work/built/Makefile",
                       Exists);
    QTest::newRow("IDE missing") << "dunpack115" << mainC << none
                                 << QStringList{QString::fromStdString(Ide)}
                                 << dialog + QStringList{copyMake} +
                                        ideMissing("-b -c /work/robot/robot.proj");
    QTest::newRow("spaces stay in the text")
        << "palpack51" << std::optional<std::string>("/work/my proj/a b.c") << none << none
        << dialog +
               QStringList{"copy: /dev/palpack51/examples/Makefile -> /work/my proj/Makefile"} +
               createAndOpen("-b -c", "/work/my proj/my proj.proj");
    // The file system's root has no name to call the project by: refused, nothing written.
    QTest::newRow("file directly in the root")
        << "palpack51" << std::optional<std::string>("/main.c") << none << none
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

    // Through the window, which keeps the platform chosen.
    Scene scene;
    scene.system.dialogAnswers = {std::nullopt, std::nullopt};
    auto recorder = std::make_unique<RecordingPlatform>(scene.system);
    RecordingPlatform &platform = *recorder;
    TForm1 form(std::move(recorder));
    platform.log.clear();
    form.findChild<QRadioButton *>("TheVessik")->click();
    form.findChild<QPushButton *>(button)->click();
    form.findChild<QPushButton *>(button)->click();

    QCOMPARE(toQStringList(platform.log), dialogSteps(filter) + dialogSteps(filter));
    QCOMPARE(int(form.platformIndex()), 2);
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
        scene.system.readOnlyDirectories.insert(Root);
    if (home)
        scene.system.environment["HOME"] = *home;
    scene.system.dialogAnswers = {Cancelled};

    QCOMPARE(scene.run(button, "vespack113").value(0), "dialog.initialDir: " + initialDir);
}

void CreateActionsTest::rootDirectoryDoublesTheSeparator()
{
    Scene scene("/");
    scene.system.dialogAnswers = {std::optional<std::string>("/work/demo")};

    const QStringList log = scene.run("NewTempl", "palpack51");
    QVERIFY(log.contains("copy: //palpack51/examples/Template.c -> /work/demo/demo.c"));
    QVERIFY(log.contains("start: //SN451/bin/snavigator.exe /work/demo/demo.proj"));
    QCOMPARE(log.last(), "exit: 0");
}

QTEST_MAIN(CreateActionsTest)
#include "tst_createactions.moc"
