// SPDX-License-Identifier: MIT
#include "actions/CreateProjectFromFiles.h"
#include "actions/CreateProjectFromTemplate.h"
#include "platform/QtPlatform.h"
#include "tests/ScriptedDialogPlatform.h"
#include "tests/TestFiles.h"
#include "tests/TestSupport.h"
#include "tests/UnblockedFifo.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

const auto Executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
const QByteArray TemplateC = "int main(void) { for (;;) { } }\n";
const QByteArray TemplateMakefile = "all:\n\t@echo palmor\n";

// Lowers the file-size limit for as long as it lives.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_previous); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_previous{};
};

// An installation root with a recording IDE and the Palmor pack, and a work
// directory for the user's projects, both with awkward names.
struct Scene
{
    QTemporaryDir temporary;
    QString root = temporary.path() + "/dév root";
    QString work = temporary.path() + "/my work";
    QString runs = temporary.path() + "/runs";
    QString ide = root + "/SN451/bin/snavigator.exe";
    QString templateC = root + "/palpack51/examples/Template.c";
    QString templateMakefile = root + "/palpack51/examples/Makefile";
    std::vector<std::unique_ptr<UnblockedFifo>> fifos;

    ~Scene()
    {
        // Qt cannot remove names that are not valid UTF-8.
        QProcess::execute("rm", {"-rf", temporary.path()});
    }

    Scene()
    {
        QDir().mkpath(work);
        installRecordingIde(ide);
        writeFile(templateC, TemplateC);
        writeFile(templateMakefile, TemplateMakefile);
        qputenv("IDE_RUNS", QFile::encodeName(runs));
    }

    QString workPath(const QByteArray &relative) const
    {
        return work + "/" + QFile::decodeName(relative);
    }

    // "file:NAME=BYTES", "dir:NAME", "link:NAME=TARGET", "fifo:NAME" in the work
    // directory; "template:KIND" and "ide:KIND" change the installation.
    void apply(const QByteArray &directive)
    {
        const QByteArray kind = directive.left(directive.indexOf(':'));
        const QByteArray rest = directive.mid(kind.size() + 1);
        const QByteArray name = rest.left(rest.indexOf('=') < 0 ? rest.size() : rest.indexOf('='));
        const QByteArray value = rest.mid(name.size() + 1);
        const QByteArray path = QFile::encodeName(work) + "/" + name;
        if (kind == "file") {
            writeFile(QFile::decodeName(path), value);
        } else if (kind == "dir") {
            QVERIFY(::mkdir(path.constData(), 0755) == 0);
        } else if (kind == "link") {
            QVERIFY(::symlink(value.constData(), path.constData()) == 0);
        } else if (kind == "fifo") {
            fifos.push_back(std::make_unique<UnblockedFifo>(path));
        } else if (kind == "template") {
            changeTemplate(name, value);
        } else if (kind == "ide") {
            changeIde(name, value);
        } else {
            QFAIL(directive.constData());
        }
    }

    void changeTemplate(const QByteArray &change, const QByteArray &value)
    {
        const QByteArray path = QFile::encodeName(templateC);
        QVERIFY(QFile::remove(templateC));
        if (change == "directory")
            QVERIFY(::mkdir(path.constData(), 0755) == 0);
        else if (change == "fifo")
            fifos.push_back(std::make_unique<UnblockedFifo>(path));
        else if (change == "link")
            QVERIFY(::symlink(value.constData(), path.constData()) == 0);
        else if (change == "empty")
            writeFile(templateC, QByteArray());
        else if (change == "large")
            writeLargeTemplate();
        else
            QVERIFY(change == "missing");
    }

    void writeLargeTemplate()
    {
        QFile file(templateC);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray block(1024 * 1024, '\0');
        for (int mebibyte = 0; mebibyte < 100; ++mebibyte) {
            block.fill(char('a' + mebibyte % 26));
            QCOMPARE(file.write(block), qint64(block.size()));
        }
    }

    void changeIde(const QByteArray &change, const QByteArray &value)
    {
        const QByteArray path = QFile::encodeName(ide);
        QVERIFY(QFile::remove(ide));
        if (change == "directory")
            QVERIFY(::mkdir(path.constData(), 0755) == 0);
        else if (change == "no-run-bit")
            installRecordingIde(ide, QFile::ReadOwner | QFile::WriteOwner);
        else if (change == "interpreter-missing")
            writeFile(ide, "#!/nonexistent/sh\n", Executable);
        else if (change == "then")
            writeFile(ide,
                      "#!/bin/sh\n'" + QFile::encodeName(RECORDING_IDE) + "' \"$@\"\n" + value +
                          "\n",
                      Executable);
        else
            QVERIFY(change == "missing");
    }

    QStringList recordedRuns() const { return recordedIdeLines(runs); }
};

QString longPath()
{
    QString path;
    while (path.size() <= 4096)
        path += "/" + QString(200, 'd');
    return path;
}

} // namespace

// Bad input and faults against the real platform: each row gives the message
// (or none), what is new afterwards, and how often the IDE ran; the process
// always ends with status 0 and nothing that existed before changes.
class FaultMatrixTest : public QObject
{
    Q_OBJECT

private slots:
    void faults_data();
    void faults();
    void copyTakesTemplatePermissionsLessTheUmask_data();
    void copyTakesTemplatePermissionsLessTheUmask();
};

void FaultMatrixTest::faults_data()
{
    QTest::addColumn<bool>("fromTemplate");
    QTest::addColumn<QList<QByteArray>>("setup");
    QTest::addColumn<QByteArray>("answer"); // relative to the work directory
    QTest::addColumn<QList<QByteArray>>("created");
    QTest::addColumn<QString>("message"); // {root}, {work} and {answer} are replaced
    QTest::addColumn<QString>("reason");  // the message's informative text
    QTest::addColumn<int>("ideRuns");
    QTest::addColumn<rlim_t>("fileSizeLimit");

    using Names = QList<QByteArray>;
    const auto project = [](const QByteArray &name) {
        return Names{name, name + "/" + name + ".c", name + "/Makefile"};
    };
    // With the project file that the IDE's batch run writes.
    const auto handedToIde = [&project](const QByteArray &name) {
        return project(name) + Names{name + "/" + name + ".proj"};
    };
    const QString dirError = "Erreur lors de la création du répertoire : {work}/{answer}";
    const QString cError = "Erreur lors de la copie du fichier C patron : "
                           "{root}/palpack51/examples/Template.c vers {work}/{answer}/{answer}.c";
    const QString makeError = "Erreur lors de la copie du fichier Make patron : "
                              "{root}/palpack51/examples/Makefile vers {work}/robot/Makefile";
    const QString exists = "a file of that name is already there";
    const QString noSuchFile = systemMessage(std::errc::no_such_file_or_directory);
    const QString notSupported = systemMessage(std::errc::not_supported);
    const QString permissionDenied = systemMessage(std::errc::permission_denied);
    const QString nameTooLong = systemMessage(std::errc::filename_too_long);
    const rlim_t unlimited = RLIM_INFINITY;

    // Names typed into the dialog. Qt's dialog returns text, so it can only
    // deliver names that are valid UTF-8; the actions themselves keep any bytes.
    for (const QByteArray &name :
         {QByteArray("my demo"), QByteArray("it's \"quoted\""), QByteArray("a;b|c&d"),
          QByteArray("$(touch pwned)`touch pwned`"), QByteArray("*"), QByteArray("-demo"),
          QByteArray("two\nlines"), QByteArray("Zoé Ünal 機器人"), QByteArray("bad \xff\xfe utf8")})
        QTest::addRow("name: %s", name.toPercentEncoding(" ").constData())
            << true << Names() << name << handedToIde(name) << QString() << QString() << 2
            << unlimited;
    const QByteArray longest(255, 'n');
    QTest::newRow("name: 255 bytes")
        << true << Names() << longest << Names{longest} << cError << nameTooLong << 0 << unlimited;
    QTest::newRow("name: path longer than PATH_MAX")
        << true << Names() << longPath().toUtf8().mid(1) << Names() << dirError << nameTooLong << 0
        << unlimited;

    // What already stands where the new directory should go.
    QTest::newRow("target: file") << true << Names{"file:demo=my notes"} << QByteArray("demo")
                                  << Names() << dirError << exists << 0 << unlimited;
    QTest::newRow("target: directory")
        << true << Names{"dir:demo", "file:demo/demo.c=mine"} << QByteArray("demo") << Names()
        << dirError << exists << 0 << unlimited;
    QTest::newRow("target: symlink")
        << true << Names{"dir:real", "link:demo=real"} << QByteArray("demo") << Names() << dirError
        << exists << 0 << unlimited;
    QTest::newRow("target: dangling symlink")
        << true << Names{"link:demo=nowhere"} << QByteArray("demo") << Names() << dirError << exists
        << 0 << unlimited;
    QTest::newRow("target: FIFO") << true << Names{"fifo:demo"} << QByteArray("demo") << Names()
                                  << dirError << exists << 0 << unlimited;
    QTest::newRow("target: parent missing") << true << Names() << QByteArray("missing/demo")
                                            << Names() << dirError << noSuchFile << 0 << unlimited;
    QTest::newRow("target: parent is a file")
        << true << Names{"file:plain=x"} << QByteArray("plain/demo") << Names() << dirError
        << systemMessage(std::errc::not_a_directory) << 0 << unlimited;

    // What already stands where the project Makefile should go.
    const Names robot{"dir:robot", "file:robot/main.c=int x;"};
    QTest::newRow("Makefile: file")
        << false << robot + Names{"file:robot/Makefile=mine"} << QByteArray("robot/main.c")
        << Names() << makeError << exists << 0 << unlimited;
    QTest::newRow("Makefile: directory")
        << false << robot + Names{"dir:robot/Makefile"} << QByteArray("robot/main.c") << Names()
        << makeError << exists << 0 << unlimited;
    QTest::newRow("Makefile: symlink")
        << false << robot + Names{"link:robot/Makefile=main.c"} << QByteArray("robot/main.c")
        << Names() << makeError << exists << 0 << unlimited;
    QTest::newRow("Makefile: dangling symlink")
        << false << robot + Names{"link:robot/Makefile=../gone"} << QByteArray("robot/main.c")
        << Names() << makeError << exists << 0 << unlimited;
    QTest::newRow("Makefile: FIFO")
        << false << robot + Names{"fifo:robot/Makefile"} << QByteArray("robot/main.c") << Names()
        << makeError << exists << 0 << unlimited;
    QTest::newRow("Makefile: none, project named after the directory")
        << false << robot << QByteArray("robot/main.c")
        << Names{"robot/Makefile", "robot/robot.proj"} << QString() << QString() << 2 << unlimited;

    // The template C file. Only a regular file is copied: nothing may hang or fill the disk.
    for (const auto &[kind, reason] : {std::pair{"missing", noSuchFile},
                                       {"directory", systemMessage(std::errc::is_a_directory)},
                                       {"fifo", notSupported}})
        QTest::addRow("template: %s", kind)
            << true << Names{"template:" + QByteArray(kind)} << QByteArray("demo") << Names{"demo"}
            << cError << reason << 0 << unlimited;
    QTest::newRow("template: link to /dev/zero")
        << true << Names{"template:link=/dev/zero"} << QByteArray("demo") << Names{"demo"} << cError
        << notSupported << 0 << unlimited;
    QTest::newRow("template: link to a device")
        << true << Names{"template:link=/dev/null"} << QByteArray("demo") << Names{"demo"} << cError
        << notSupported << 0 << unlimited;
    QTest::newRow("template: empty")
        << true << Names{"template:empty"} << QByteArray("demo") << handedToIde("demo") << QString()
        << QString() << 2 << unlimited;
    QTest::newRow("template: 100 MiB")
        << true << Names{"template:large"} << QByteArray("demo") << handedToIde("demo") << QString()
        << QString() << 2 << unlimited;
    QTest::newRow("template: copy fails part-way")
        << true << Names{"template:large"} << QByteArray("demo") << Names{"demo"} << cError
        << systemMessage(std::errc::file_too_large) << 0 << rlim_t(1024 * 1024);

    // The IDE: a start failure ends the launcher; whatever a started IDE does, it goes on.
    const QString noStart = "Impossible de lancer la commande {root}/SN451/bin/snavigator.exe "
                            "--batchmode --create {work}/demo/demo.proj";
    for (const auto &[kind, reason] : {std::pair{"missing", noSuchFile},
                                       {"no-run-bit", permissionDenied},
                                       {"directory", permissionDenied},
                                       {"interpreter-missing", noSuchFile}})
        QTest::addRow("IDE: %s", kind)
            << true << Names{"ide:" + QByteArray(kind)} << QByteArray("demo") << project("demo")
            << noStart << reason << 0 << unlimited;
    QTest::newRow("IDE: killed by a signal")
        << true << Names{"ide:then=kill -SEGV $$"} << QByteArray("demo") << handedToIde("demo")
        << QString() << QString() << 2 << unlimited;
    QTest::newRow("IDE: exits with status 3")
        << true << Names{"ide:then=exit 3"} << QByteArray("demo") << handedToIde("demo")
        << QString() << QString() << 2 << unlimited;
    QTest::newRow("IDE: forks a child and exits at once")
        << true << Names{"ide:then=sleep 2 & exit 0"} << QByteArray("demo") << handedToIde("demo")
        << QString() << QString() << 2 << unlimited;
}

void FaultMatrixTest::faults()
{
    QFETCH(bool, fromTemplate);
    QFETCH(QList<QByteArray>, setup);
    QFETCH(QByteArray, answer);
    QFETCH(QList<QByteArray>, created);
    QFETCH(QString, message);
    QFETCH(QString, reason);
    QFETCH(int, ideRuns);
    QFETCH(rlim_t, fileSizeLimit);

    Scene scene;
    QVERIFY(scene.temporary.isValid());
    for (const QByteArray &directive : setup)
        scene.apply(directive);
    const auto before = snapshotTree(scene.work);
    const QByteArray templateDigest = fileDigest(scene.templateC);

    ScriptedDialogPlatform platform((QFile::encodeName(scene.work) + "/" + answer).toStdString());
    const std::string rootDir = QFile::encodeName(scene.root).toStdString();
    const ProjectSetup projectSetup{rootDir, rootDir + "/SN451/bin/snavigator.exe", "palpack51"};
    const ActionOutcome outcome = [&] {
        const FileSizeLimit limit(fileSizeLimit);
        return fromTemplate ? createProjectFromTemplate(platform, projectSetup)
                            : createProjectFromFiles(platform, projectSetup);
    }();
    QVERIFY(outcome.kind != ActionOutcome::Kind::ReturnedToWindow);

    QString expectedMessage = message;
    expectedMessage.replace("{root}", scene.root)
        .replace("{work}", scene.work)
        .replace("{answer}", QString::fromUtf8(answer));
    QCOMPARE(QString::fromStdString(outcome.message),
             message.isEmpty() ? QString() : expectedMessage);
    QCOMPARE(QString::fromStdString(outcome.reason), reason);

    // Nothing that existed changed; exactly the expected entries are new, and
    // the copies are whole.
    const auto after = snapshotTree(scene.work);
    QList<QByteArray> added;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (before.contains(it.key()))
            QCOMPARE(it.value(), before.value(it.key()));
        else
            added << it.key();
    }
    std::sort(created.begin(), created.end());
    QCOMPARE(added, created);
    for (const QByteArray &entry : created) {
        if (entry.endsWith(".c"))
            QCOMPARE(after.value(entry), "file:" + templateDigest);
        if (entry.endsWith("Makefile"))
            QCOMPARE(after.value(entry), "file:" + fileDigest(scene.templateMakefile));
    }

    QCOMPARE(int(scene.recordedRuns().count("run")), ideRuns);
    QVERIFY(!QFile::exists(scene.work + "/pwned"));
    QVERIFY(!QFile::exists(QDir::currentPath() + "/pwned"));
}

void FaultMatrixTest::copyTakesTemplatePermissionsLessTheUmask_data()
{
    QTest::addColumn<int>("templateMode");
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("copyMode");

    QTest::newRow("0666 under umask 077 is private") << 0666 << 077 << 0600;
    QTest::newRow("0666 under umask 022") << 0666 << 022 << 0644;
    QTest::newRow("0777 under umask 002") << 0777 << 002 << 0775;
    QTest::newRow("read-only stays read-only") << 0444 << 022 << 0444;
    QTest::newRow("no umask keeps every bit") << 0754 << 0 << 0754;
    QTest::newRow("set-id and sticky bits are not copied") << 07755 << 022 << 0755;
}

void FaultMatrixTest::copyTakesTemplatePermissionsLessTheUmask()
{
    QFETCH(int, templateMode);
    QFETCH(int, umask);
    QFETCH(int, copyMode);

    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QByteArray source = QFile::encodeName(temporary.filePath("Template.c"));
    const QByteArray target = QFile::encodeName(temporary.filePath("demo.c"));
    writeFile(QFile::decodeName(source), TemplateC);
    QCOMPARE(::chmod(source.constData(), mode_t(templateMode)), 0);

    const mode_t previous = ::umask(mode_t(umask));
    QtPlatform platform(nullptr);
    const std::error_code error =
        platform.copyFileExclusive(source.toStdString(), target.toStdString());
    ::umask(previous);

    QVERIFY(!error);
    struct stat status = {};
    QCOMPARE(::stat(target.constData(), &status), 0);
    QCOMPARE(int(status.st_mode & 07777), copyMode);
    QCOMPARE(fileDigest(target), fileDigest(source));
}

QTEST_MAIN(FaultMatrixTest)
#include "tst_fault_matrix.moc"
