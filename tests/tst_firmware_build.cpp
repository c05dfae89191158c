// SPDX-License-Identifier: MIT
#include "actions/CreateProjectFromFiles.h"
#include "actions/CreateProjectFromTemplate.h"
#include "launcher/ToolchainEnvironment.h"
#include "platform/QtPlatform.h"
#include "tests/Boards.h"
#include "tests/ScriptedDialogPlatform.h"
#include "tests/TestFiles.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

namespace {

const auto Executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

void copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        QVERIFY2(QFile::copy(source, target), qPrintable(target));
    }
}

// Checks an S-record file: S0 header first, S3 data records, S7 end last, every
// count and checksum right. Gives the address of the first data record.
QString checkSRecords(const QString &path, quint32 &firstAddress)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "cannot read " + path;
    const QList<QByteArray> lines = file.readAll().split('\n');
    QList<char> types;
    bool haveAddress = false;
    for (QByteArray line : lines) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (line.size() < 4 || line[0] != 'S')
            return "not a record: " + QString::fromLatin1(line);
        const QByteArray bytes = QByteArray::fromHex(line.mid(2));
        if (bytes.size() * 2 != line.size() - 2 || bytes.size() != quint8(bytes[0]) + 1)
            return "bad count: " + QString::fromLatin1(line);
        quint8 sum = 0;
        for (char byte : bytes)
            sum = quint8(sum + quint8(byte));
        if (sum != 0xFF)
            return "bad checksum: " + QString::fromLatin1(line);
        types << line[1];
        if (line[1] == '3' && !haveAddress) {
            firstAddress = qFromBigEndian<quint32>(bytes.constData() + 1);
            haveAddress = true;
        }
    }
    if (types.isEmpty() || types.first() != '0' || types.last() != '7' || !types.contains('3'))
        return "records are not S0, S3..., S7";
    return {};
}

// Checks that a file is a big-endian 32-bit m68k executable; gives the physical
// address of its first loadable segment.
QString checkElf(const QString &path, quint32 &loadAddress)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "cannot read " + path;
    const QByteArray elf = file.readAll();
    if (elf.size() < 52 || !elf.startsWith("\x7f"
                                           "ELF"))
        return "not an ELF file";
    const char *data = elf.constData();
    if (data[4] != 1 || data[5] != 2)
        return "not 32-bit big-endian";
    if (qFromBigEndian<quint16>(data + 16) != 2 || qFromBigEndian<quint16>(data + 18) != 4)
        return "not an m68k executable";
    const quint32 phoff = qFromBigEndian<quint32>(data + 28);
    const quint16 phentsize = qFromBigEndian<quint16>(data + 42);
    const quint16 phnum = qFromBigEndian<quint16>(data + 44);
    for (quint16 i = 0; i < phnum; ++i) {
        const quint32 header = phoff + quint32(i) * phentsize;
        if (header + 32 > quint32(elf.size()))
            return "truncated program headers";
        if (qFromBigEndian<quint32>(data + header) == 1) {
            loadAddress = qFromBigEndian<quint32>(data + header + 12);
            return {};
        }
    }
    return "no loadable segment";
}

QStringList entries(const QString &directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                     QDir::Name);
}

int runMake(const QString &directory, const QStringList &arguments = {})
{
    QProcess make;
    make.setWorkingDirectory(directory);
    make.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    make.start("make", arguments);
    if (!make.waitForFinished(120000) || make.exitStatus() != QProcess::NormalExit)
        return -1;
    return make.exitCode();
}

} // namespace

// Projects made by the real actions build a firmware image for each robot with
// the installation's tool chain, found through the environment the launcher exports.
class FirmwareBuildTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void templateProjectBuilds_data();
    void templateProjectBuilds();
    void projectFromExistingSourcesBuilds();

private:
    void buildAndCheck(const QString &project, const QString &name, quint32 romBase);
    ProjectSetup setup(const char *pack) const;

    QTemporaryDir m_temporary;
    QString m_root;
    QString m_work;
    ToolchainPaths m_paths;
};

void FirmwareBuildTest::initTestCase()
{
    QVERIFY(m_temporary.isValid());
    m_root = m_temporary.path() + "/installé root $(x)";
    m_work = m_temporary.path() + "/my projects";
    // The packs (with the files the build generates), the tools and the
    // libraries the packs link, as the build laid them out.
    for (const BoardEntry &board : Boards)
        copyTree(QStringLiteral(DEMO_ROOT "/") + board.pack, m_root + "/" + board.pack);
    copyTree(QStringLiteral(DEMO_SOURCE_DIR) + "/BIN", m_root + "/BIN");
    QVERIFY(QDir().mkpath(m_root + "/JAVA/BIN"));
    copyTree(QStringLiteral(DEMO_ROOT) + "/LIB", m_root + "/LIB");
    QVERIFY(QFile::exists(m_root + "/LIB/GCC-LIB/M68K-N~1/EGCS-2~1.60/cpu32/libgcc.a"));
    QVERIFY(QDir().mkpath(m_work));
    // The real IDE writes the project file; the open run ends at once.
    writeFile(m_root + "/SN451/bin/snavigator.exe",
              "#!/bin/sh\ncase \"$1\" in --batchmode|-b) exec \"" SNAVIGATOR "\" \"$@\";; esac\n",
              Executable);

    // Exactly the environment the launcher exports, over a plain inherited PATH.
    qputenv("PATH", "/usr/bin:/bin");
    QVERIFY(QDir::setCurrent(m_root));
    QtPlatform platform(nullptr);
    m_paths = exportToolchainEnvironment(platform);
    QCOMPARE(QString::fromStdString(m_paths.rootDir), m_root);
}

ProjectSetup FirmwareBuildTest::setup(const char *pack) const
{
    return {m_paths.rootDir, m_paths.navigatorExe, pack};
}

void FirmwareBuildTest::buildAndCheck(const QString &project, const QString &name, quint32 romBase)
{
    const QStringList sources = entries(project);
    QCOMPARE(runMake(project), 0);

    quint32 loadAddress = 0xFFFFFFFF;
    const QString elfProblem = checkElf(project + "/" + name + ".elf", loadAddress);
    QVERIFY2(elfProblem.isEmpty(), qPrintable(elfProblem));
    QCOMPARE(loadAddress, romBase);
    quint32 firstRecord = 0xFFFFFFFF;
    const QString srecProblem = checkSRecords(project + "/" + name + ".s37", firstRecord);
    QVERIFY2(srecProblem.isEmpty(), qPrintable(srecProblem));
    QCOMPARE(firstRecord, romBase);

    QCOMPARE(runMake(project, {"clean"}), 0);
    QCOMPARE(entries(project), sources);
}

void FirmwareBuildTest::templateProjectBuilds_data()
{
    QTest::addColumn<QString>("pack");
    QTest::addColumn<quint32>("romBase");

    for (const BoardEntry &board : Boards)
        QTest::newRow(board.name) << board.pack << board.romOrigin;
}

void FirmwareBuildTest::templateProjectBuilds()
{
    QFETCH(QString, pack);
    QFETCH(quint32, romBase);

    const QString name = "robot é " + pack;
    const QString project = m_work + "/" + name;
    ScriptedDialogPlatform platform(QFile::encodeName(project).toStdString());
    const ActionOutcome outcome =
        createProjectFromTemplate(platform, setup(pack.toLatin1().constData()));
    QVERIFY2(outcome.kind == ActionOutcome::Kind::Done, outcome.message.c_str());
    QCOMPARE(entries(project), (QStringList{"Makefile", name + ".c", name + ".proj"}));

    buildAndCheck(project, name, romBase);
}

void FirmwareBuildTest::projectFromExistingSourcesBuilds()
{
    const QString project = m_work + "/existing sources é";
    writeFile(project + "/main.c",
              "#include \"palmor.h\"\nint speed(int);\nvoid blink(void);\n"
              "int main(void) { for (;;) { PALMOR_MOTOR_LEFT = (unsigned short)speed(3); "
              "blink(); } }\n");
    writeFile(project + "/motor control.c", "int speed(int level) { return level * 100; }\n");
    writeFile(project + "/blink.s", "\t.text\n\t.globl blink\nblink:\n\tnot.w 0xFFF010\n\trts\n");

    ScriptedDialogPlatform platform(QFile::encodeName(project + "/blink.s").toStdString());
    const ActionOutcome outcome = createProjectFromFiles(platform, setup("palpack51"));
    QVERIFY2(outcome.kind == ActionOutcome::Kind::Done, outcome.message.c_str());
    QVERIFY(QFile::exists(project + "/existing sources é.proj"));

    buildAndCheck(project, "existing sources é", 0x000000);
}

QTEST_MAIN(FirmwareBuildTest)
#include "tst_firmware_build.moc"
