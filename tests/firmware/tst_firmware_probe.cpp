// SPDX-License-Identifier: MIT
// Runs firmware on each board's CPU: a probe project, built by the pack's own
// Makefile, booted in QEMU as the CPU would boot it and read back through gdb.
// Also checks the images statically where QEMU is more lenient than the CPU
// (odd word accesses, instructions a CPU32 lacks) and that oversized images
// do not link.
#include "tests/Boards.h"
#include "tests/firmware/HostExpectations.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

const QString Tools = QStringLiteral("m68k-linux-gnu-");
const QString RuntimeDir = QStringLiteral("LIB/GCC-LIB/M68K-N~1/EGCS-2~1.60");
constexpr int ProcessLimitMs = 60000;
constexpr quint32 IoPageSize = 0x1000;
constexpr char Garbage = char(0xA5);

struct ProcessResult
{
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
};

ProcessResult run(const QString &program, const QStringList &arguments, const QString &directory,
                  const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setWorkingDirectory(directory);
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    ProcessResult result;
    // A board that runs astray never stops at a breakpoint: end gdb and QEMU.
    if (!process.waitForFinished(ProcessLimitMs)) {
        process.kill();
        process.waitForFinished();
        result.errors = program.toUtf8() + " did not end\n";
    }
    result.output = process.readAllStandardOutput();
    result.errors += process.readAllStandardError();
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    return result;
}

QProcessEnvironment buildEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"MAKEFLAGS", "MFLAGS", "MAKELEVEL", "GNUMAKEFLAGS"})
        environment.remove(name);
    environment.insert("QPRJ", QStringLiteral(DEMO_ROOT));
    environment.insert("PATH", QStringLiteral(DEMO_ROOT "/BIN:") + environment.value("PATH"));
    return environment;
}

// Copies the probe's sources and the pack's Makefile into a new project
// directory and runs make there.
ProcessResult buildProject(const QString &project, const QString &pack,
                           const QMap<QString, QByteArray> &sources,
                           const QStringList &makeArguments = {})
{
    QDir().mkpath(project);
    for (auto it = sources.begin(); it != sources.end(); ++it) {
        QFile file(project + "/" + it.key());
        if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size())
            return {-1, {}, "cannot write " + file.fileName().toUtf8()};
    }
    QFile::copy(QStringLiteral(DEMO_ROOT "/") + pack + "/examples/Makefile", project + "/Makefile");
    return run("make", makeArguments, project, buildEnvironment());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Section
{
    QString name;
    quint32 size = 0, vma = 0, lma = 0, offset = 0;
    bool allocated = false, loaded = false;
};

// The sections of an image as objdump -h lists them.
QList<Section> sections(const QString &elf, const QString &directory)
{
    const QString listing =
        QString::fromUtf8(run(Tools + "objdump", {"-h", elf}, directory).output);
    static const QRegularExpression header(
        R"(^\s*\d+\s+(\S+)\s+([0-9a-f]{8})\s+([0-9a-f]{8})\s+([0-9a-f]{8})\s+([0-9a-f]{8})\s)");
    QList<Section> result;
    const QStringList lines = listing.split('\n');
    for (int i = 0; i + 1 < lines.size(); ++i) {
        const QRegularExpressionMatch match = header.match(lines[i]);
        if (!match.hasMatch())
            continue;
        Section section;
        section.name = match.captured(1);
        section.size = match.captured(2).toUInt(nullptr, 16);
        section.vma = match.captured(3).toUInt(nullptr, 16);
        section.lma = match.captured(4).toUInt(nullptr, 16);
        section.offset = match.captured(5).toUInt(nullptr, 16);
        section.allocated = lines[i + 1].contains("ALLOC");
        section.loaded = lines[i + 1].contains("LOAD");
        result << section;
    }
    return result;
}

QMap<QString, quint32> symbols(const QString &elf, const QString &directory)
{
    QMap<QString, quint32> result;
    const QList<QByteArray> lines = run(Tools + "nm", {elf}, directory).output.split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 3)
            result.insert(QString::fromLatin1(fields[2]), fields[0].toUInt(nullptr, 16));
    }
    return result;
}

// Instructions that the CPU lacks: the disassembler, told the exact CPU, shows
// them as bare ".short" words.
QStringList missingInstructions(const QString &file, const QString &cpu, const QString &directory)
{
    const ProcessResult disassembly =
        run(Tools + "objdump", {"-d", "-m", "m68k:" + cpu, file}, directory);
    if (disassembly.exitCode != 0)
        return {"objdump failed: " + QString::fromUtf8(disassembly.errors)};
    QStringList found;
    QString function;
    const QStringList lines = QString::fromUtf8(disassembly.output).split('\n');
    for (const QString &line : lines) {
        if (line.endsWith(">:"))
            function = line;
        else if (line.contains(".short"))
            found << function + " " + line.simplified();
    }
    return found;
}

QByteArray garbage(quint32 size)
{
    return QByteArray(int(size), Garbage);
}

QString hex(quint32 value)
{
    return "0x" + QString::number(value, 16);
}

// What is wrong with an image before it runs: every section in RAM must be
// copied or cleared by start-up, from and to long-aligned addresses (QEMU's
// 68000 does not fault on odd word accesses); the vector table must be full and
// lead to code; no instruction may be one the CPU lacks (QEMU's 68020 runs
// what a CPU32 does not). The image is image.elf in directory.
QStringList imageProblems(const QByteArray &image, const QList<Section> &imageSections,
                          QMap<QString, quint32> symbol, quint32 ramBase, quint32 ramSize,
                          const QString &cpu, const QString &directory)
{
    QStringList problems;
    for (const char *name :
         {"__data_load", "__data_start", "__data_end", "__bss_start", "__bss_end"})
        if (symbol[name] % 4 != 0)
            problems << QString("%1 is %2, not long-aligned").arg(name, hex(symbol[name]));
    Section text, vectors;
    for (const Section &section : imageSections) {
        if (section.name == ".text")
            text = section;
        if (section.name == ".vectors")
            vectors = section;
        if (!section.allocated || section.size == 0 || section.vma < ramBase ||
            section.vma >= ramBase + ramSize)
            continue;
        const quint32 end = section.vma + section.size;
        if (section.loaded) {
            if (section.vma < symbol["__data_start"] || end > symbol["__data_end"] ||
                section.lma - symbol["__data_load"] != section.vma - symbol["__data_start"])
                problems << section.name + " is in RAM but not where start-up copies it";
        } else if (section.vma < symbol["__bss_start"] || end > symbol["__bss_end"]) {
            problems << section.name + " is in RAM but not where start-up clears it";
        }
    }
    if (vectors.size != 256 * 4 || vectors.vma != symbol["__vectors"]) {
        problems
            << QString(".vectors holds %1 bytes at %2").arg(vectors.size).arg(hex(vectors.vma));
    } else {
        const char *table = image.constData() + vectors.offset;
        if (qFromBigEndian<quint32>(table) != symbol["__stack_top"] ||
            qFromBigEndian<quint32>(table + 4) != symbol["_start"])
            problems << "the reset vectors are not __stack_top and _start";
        for (int vector = 2; vector < 256; ++vector) {
            const quint32 handler = qFromBigEndian<quint32>(table + 4 * vector);
            if (handler % 2 != 0 || handler < text.vma || handler >= text.vma + text.size)
                problems
                    << QString("vector %1 leads to %2, not to code").arg(vector).arg(hex(handler));
        }
    }
    const QStringList unknown = missingInstructions("image.elf", cpu, directory);
    if (!unknown.isEmpty())
        problems << "instructions the " + cpu + " lacks: " + unknown.mid(0, 5).join("; ");
    return problems;
}

// The gdb commands that boot the image in QEMU (started by the command
// qemu) as the CPU would, dump RAM once start-up has set it up, run the probe
// to its end, then take an illegal instruction. They print what they find on
// lines "probe|<what>|<values>"; registers are "address=value" pairs.
QString bootScript(const QString &qemu, const QStringList &registers, int ending)
{
    // A line for each register, with its address as %1.
    const auto perRegister = [&registers](const QString &line) {
        QString lines;
        for (const QString &assignment : registers)
            lines += line.arg(assignment.section('=', 0, 0)) + '\n';
        return lines;
    };
    // %1 starts QEMU, %2 is how main() ends.
    const QString script = R"(set pagination off
set confirm off
target remote | %1
set $vector = (unsigned short *)&__exception_vector
set $at = (unsigned long *)&__exception_pc
set $sp = *(unsigned long *)&__vectors
set $pc = *((unsigned long *)&__vectors + 1)
break *__run_constructors
break *main
break *__board_halted
continue
if $pc == (unsigned long)&__run_constructors
  dump binary memory data.dump &__data_start &__data_end
  dump binary memory bss.dump &__bss_start &__bss_end
  continue
end
if $pc == (unsigned long)&main
  printf "probe|main|%x\n", $sp
  set var probe_ending = %2
  continue
end
printf "probe|halted|%x\n", $pc
printf "probe|exception|%x|%x\n", *$vector, *$at
printf "probe|stage|%x\n", probe_stage
printf "probe|exit|%d\n", __exit_status
printf "probe|destroyed|%d|%d\n", probe_destroyed_in_order, probe_atexit_before_destructors
set $i = 0
while $i < probe_count && $i < 128
  set $result = &probe_results[$i]
  printf "probe|result|%s|%llx|%llx\n", $result->name, $result->actual, $result->expected
  set $i = $i + 1
end
set $i = 0
while $i < probe_text_count && $i < 32
  set $text = &probe_texts[$i]
  printf "probe|text|%s|%s|%s\n", $text->name, $text->actual, $text->expected
  set $i = $i + 1
end
set $i = 0
while $i < probe_mismatch_count && $i < 16
  set $m = &probe_mismatches[$i]
  printf "probe|mismatch|%s #%d: ", $m->what, $m->index
  printf "0x%llx, not 0x%llx\n", $m->actual, $m->expected
  set $i = $i + 1
end
)";
    // Then an illegal instruction, with garbage in the registers again.
    const QString trap = R"(set $pc = (unsigned long)&probe_illegal_instruction
continue
printf "probe|trap|%x|%x\n", *$vector, *$at
)";
    return script.arg(qemu, QString::number(ending)) +
           perRegister(R"(printf "probe|register|%1|%x\n", *(unsigned short *)%1)") +
           perRegister("set *(unsigned short *)%1 = 0xa5a5") + trap +
           perRegister(R"(printf "probe|trapped %1|%x\n", *(unsigned short *)%1)") + "kill\n";
}

// What the emulation needs beyond the board table: the CPU as objdump and QEMU
// name it, the I/O page, how the ROM shows at address 0, and the registers a
// stopped board leaves. Vectors at 0: "rom" (the ROM is there), "mirror" (the
// board shows the table there at all times) or "reset" (only while resetting:
// garbage afterwards). QEMU has no CPU32: the 68020 runs its programs, and the
// instruction check catches what a CPU32 would not run.
struct Emulation
{
    QString cpu, qemuCpu;
    quint32 ioPage = 0;
    QString vectorsAtZero, stoppedRegisters;
};

// How main() ends, what _exit() is given, and how many of the 40 global
// destructors run in order (exit() runs them; abort() does not).
struct Ending
{
    const char *tag = "";
    int probeEnding = 0, exitStatus = 0, destroyed = 0;
    QString makeArguments;
};

struct BoardRun
{
    BoardEntry board{};
    Emulation emulation;
    Ending ending;
};

} // namespace

Q_DECLARE_METATYPE(BoardRun)

class FirmwareProbeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void probeRunsOnBoard_data();
    void probeRunsOnBoard();
    void runtimeLibraryHoldsOnlyTheCpusInstructions_data();
    void runtimeLibraryHoldsOnlyTheCpusInstructions();
    void oversizedImageDoesNotLink_data();
    void oversizedImageDoesNotLink();

private:
    QTemporaryDir m_temporary;
    QMap<QString, QByteArray> m_probeSources;
    QSet<QString> m_built;
};

void FirmwareProbeTest::initTestCase()
{
    QVERIFY(m_temporary.isValid());
    for (const char *tool : {"make", "qemu-system-m68k", "gdb-multiarch", "m68k-linux-gnu-objdump"})
        QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(),
                 qPrintable(QString("%1 is missing: run scripts/setup.sh").arg(tool)));
    const QDir probe(QStringLiteral(PROBE_SOURCE_DIR));
    for (const QString &name : probe.entryList(QDir::Files))
        m_probeSources.insert(name, readFile(probe.filePath(name)));
    QVERIFY(m_probeSources.contains("main.c"));
    m_probeSources.insert("expected.c", hostExpectations());
}

void FirmwareProbeTest::probeRunsOnBoard_data()
{
    QTest::addColumn<BoardRun>("boardRun");
    const QMap<QString, Emulation> emulations = {
        {"palpack51",
         {"68000", "m68000", 0xFFF000, "rom", "0xFFF000=0,0xFFF002=0,0xFFF040=0x5a5a"}},
        {"dunpack115", {"68000", "m68000", 0xE00000, "mirror", "0xE00000=0,0xE00002=0"}},
        {"vespack113", {"cpu32", "m68020", 0xFFF000, "reset", "0xFFF100=1500,0xFFF102=1500"}},
        {"lnpack206", {"cpu32", "m68020", 0xFFE000, "reset", "0xFFE200=0"}},
    };
    const Ending endings[] = {
        {"", 0, 7, 40, ""},
        // The user's flags add to the board's: the image still runs (-g for
        // gdb, which reads the probe's results by their types).
        {", built with CFLAGS+=-O2 -g", 0, 7, 40, "CFLAGS+=-O2 -g"},
        {", assert(0)", 1, 128 + 6, 0, ""},
        {", abort()", 2, 128 + 6, 0, ""},
        {", exit(3)", 3, 3, 40, ""},
        {", pure virtual call", 4, 128 + 6, 0, ""},
    };
    for (const BoardEntry &board : Boards) {
        // A board the emulation does not know yet gets empty facts, and fails.
        const Emulation emulation = emulations.value(board.pack);
        for (const Ending &ending : endings)
            QTest::newRow(qPrintable(QString(board.name) + ending.tag))
                << BoardRun{board, emulation, ending};
    }
}

void FirmwareProbeTest::probeRunsOnBoard()
{
    QFETCH(BoardRun, boardRun);
    const auto &[board, emulation, ending] = boardRun;
    const QString pack = board.pack;
    const QStringList registers = emulation.stoppedRegisters.split(',');

    // One build per board, which every ending boots.
    const QString name = "probe " + pack + (ending.makeArguments.isEmpty() ? "" : " optimised");
    const QString project = m_temporary.path() + "/probe projects é/" + name;
    if (!m_built.contains(name)) {
        const ProcessResult build = buildProject(
            project, pack, m_probeSources,
            ending.makeArguments.isEmpty() ? QStringList() : QStringList{ending.makeArguments});
        QVERIFY2(build.exitCode == 0, build.errors.constData());
        QVERIFY2(!build.output.contains("warning") && !build.errors.contains("warning"),
                 build.errors.constData());
        m_built.insert(name);
    }

    // The board's files, under names that need no quoting in gdb's commands.
    const QString work = m_temporary.path() + "/run-" + QTest::currentDataTag();
    QVERIFY(QDir().mkpath(work));
    QVERIFY(QFile::copy(project + "/" + name + ".elf", work + "/image.elf"));
    const QByteArray image = readFile(work + "/image.elf");
    const QList<Section> imageSections = sections("image.elf", work);
    const QMap<QString, quint32> symbol = symbols("image.elf", work);
    for (const char *name :
         {"__vectors", "__data_load", "__data_start", "__data_end", "__bss_start", "__bss_end",
          "__stack_top", "_start", "__run_constructors", "main"})
        QVERIFY2(symbol.contains(name), name);

    const QStringList problems = imageProblems(image, imageSections, symbol, board.ramOrigin,
                                               board.ramSize, emulation.cpu, work);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));

    // Boot it: garbage in RAM and on the I/O page, the vector table at 0 as the
    // board shows it, stack pointer and program counter from the table.
    Section vectors;
    for (const Section &section : imageSections)
        if (section.name == ".vectors")
            vectors = section;
    QMap<QString, QPair<quint32, QByteArray>> loads{
        {"ram.bin", {board.ramOrigin, garbage(board.ramSize)}},
        {"io.bin", {emulation.ioPage, garbage(IoPageSize)}},
    };
    if (emulation.vectorsAtZero == "mirror")
        loads.insert("vectors.bin", {0, image.mid(int(vectors.offset), int(vectors.size))});
    else if (emulation.vectorsAtZero == "reset")
        loads.insert("low.bin", {0, garbage(vectors.size)});
    QString qemu = "exec qemu-system-m68k -M none -cpu " + emulation.qemuCpu +
                   " -m 16M -nodefaults -display none -monitor none -serial none -S -gdb stdio"
                   " -device loader,file=image.elf";
    for (auto it = loads.begin(); it != loads.end(); ++it) {
        QFile file(work + "/" + it.key());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(it.value().second), qint64(it.value().second.size()));
        qemu += QString(" -device loader,file=%1,addr=%2").arg(it.key(), hex(it.value().first));
    }
    const QString script = bootScript(qemu, registers, ending.probeEnding);
    QFile scriptFile(work + "/run.gdb");
    QVERIFY(scriptFile.open(QIODevice::WriteOnly));
    scriptFile.write(script.toUtf8());
    scriptFile.close();

    const ProcessResult session =
        run("gdb-multiarch", {"-batch", "-nx", "-x", "run.gdb", "image.elf"}, work);
    QMap<QString, QString> seen;
    QStringList wrong;
    for (const QString &line : QString::fromUtf8(session.output).split('\n')) {
        const QStringList fields = line.split('|');
        if (fields.size() < 3 || fields[0] != "probe")
            continue;
        if ((fields[1] == "result" || fields[1] == "text") && fields.size() == 5) {
            const QString form =
                fields[1] == "text" ? "%1: \"%2\", not \"%3\"" : "%1: 0x%2, not 0x%3";
            if (fields[3] != fields[4])
                wrong << form.arg(fields[2], fields[3], fields[4]);
            seen.insert(fields[1], fields[2]);
        } else if (fields[1] == "mismatch") {
            wrong << fields.mid(2).join('|');
        } else if (fields[1] == "register") {
            seen.insert(fields[2], fields.mid(3).join('|'));
        } else {
            seen.insert(fields[1], fields.mid(2).join('|'));
        }
    }
    const QString transcript = QString::fromUtf8(session.output + session.errors);
    QVERIFY2(seen.contains("halted"), qPrintable("the board did not stop:\n" + transcript));
    const QStringList exception = seen.value("exception").split('|');
    QVERIFY2(exception.value(0) == "0", qPrintable(QString("exception: vector %1 at PC 0x%2")
                                                       .arg(exception.value(0).toUInt(nullptr, 16))
                                                       .arg(exception.value(1))));
    QVERIFY2(seen.contains("main"), qPrintable("main() was never reached:\n" + transcript));
    QCOMPARE(seen.value("main").toUInt(nullptr, 16), symbol["__stack_top"] - 4);

    // Once start-up has set up RAM, before the constructors change it: RAM holds
    // the image's initialised sections, and .bss is zero.
    const QByteArray data = readFile(work + "/data.dump");
    QCOMPARE(quint32(data.size()), symbol["__data_end"] - symbol["__data_start"]);
    for (const Section &section : imageSections) {
        if (!section.loaded || section.vma < symbol["__data_start"] ||
            section.vma >= symbol["__data_end"])
            continue;
        QVERIFY2(data.mid(int(section.vma - symbol["__data_start"]), int(section.size)) ==
                     image.mid(int(section.offset), int(section.size)),
                 qPrintable(section.name + " in RAM differs from the image"));
    }
    const QByteArray bss = readFile(work + "/bss.dump");
    QCOMPARE(quint32(bss.size()), symbol["__bss_end"] - symbol["__bss_start"]);
    QCOMPARE(bss.count('\0'), bss.size());

    // After main() ended: every result is right, _exit() got the status, the
    // destructors ran (or not) in one list with the atexit() handler first.
    if (ending.probeEnding == 0)
        QCOMPARE(seen.value("stage"), QString("44544f52"));
    QVERIFY2(seen.contains("result") && seen.contains("text"), "no results");
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
    QCOMPARE(seen.value("exit").toInt(), ending.exitStatus);
    QCOMPARE(seen.value("destroyed"),
             QString("%1|%2").arg(ending.destroyed).arg(ending.destroyed ? 1 : 0));

    // An exception that no handler claims goes through the board's own vector
    // table (a CPU32 through VBR: address 0 holds garbage) and is recorded with
    // its vector and PC. After main() and after the exception alike, the board
    // is stopped through its registers.
    QVERIFY(symbol.contains("probe_illegal_instruction"));
    const QStringList trap = seen.value("trap").split('|');
    QVERIFY2(trap.size() == 2,
             qPrintable("the illegal instruction did not stop the board:\n" + transcript));
    QCOMPARE(trap[0].toUInt(nullptr, 16), 4u);
    QCOMPARE(trap[1].toUInt(nullptr, 16), symbol["probe_illegal_instruction"]);
    for (const QString &assignment : registers) {
        const QString address = assignment.section('=', 0, 0);
        const quint32 stopped = assignment.section('=', 1).toUInt(nullptr, 0);
        QCOMPARE(seen.value(address).toUInt(nullptr, 16), stopped);
        QCOMPARE(seen.value("trapped " + address).toUInt(nullptr, 16), stopped);
    }
}

// The installed runtime library holds no instruction its CPU lacks, while the
// same check finds them in the cross compiler's own libgcc.
void FirmwareProbeTest::runtimeLibraryHoldsOnlyTheCpusInstructions_data()
{
    QTest::addColumn<QString>("cpu");
    QTest::addColumn<QString>("library");
    QTest::newRow("68000") << QString("68000") << QString("m68000");
    QTest::newRow("CPU32") << QString("cpu32") << QString("cpu32");
}

void FirmwareProbeTest::runtimeLibraryHoldsOnlyTheCpusInstructions()
{
    QFETCH(QString, cpu);
    QFETCH(QString, library);

    const QString runtime =
        QStringLiteral(DEMO_ROOT "/") + RuntimeDir + "/" + library + "/libgcc.a";
    QVERIFY(QFile::exists(runtime));
    const QStringList unknown = missingInstructions(runtime, cpu, m_temporary.path());
    QVERIFY2(unknown.isEmpty(), qPrintable(unknown.mid(0, 5).join('\n')));

    const QByteArray compilerLibgcc =
        run(Tools + "gcc", {"-print-libgcc-file-name"}, m_temporary.path()).output.trimmed();
    QVERIFY(QFile::exists(QString::fromLocal8Bit(compilerLibgcc)));
    QVERIFY(!missingInstructions(QString::fromLocal8Bit(compilerLibgcc), cpu, m_temporary.path())
                 .isEmpty());
}

void FirmwareProbeTest::oversizedImageDoesNotLink_data()
{
    QTest::addColumn<QString>("pack");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("makeArguments");

    // Read through a volatile pointer: the compiler must not fold the element,
    // nor the linker collect the array as unused.
    const QByteArray inRom = "const char big[%1] = {1};\n"
                             "int main(void) { return ((const volatile char *)big)[3]; }\n";
    const QByteArray inRam = "char big[%1];\nint main(void) { big[3] = 1; return big[5]; }\n";
    const auto row = [](const char *name, const char *pack, const QByteArray &source, int size,
                        const QString &message, const QStringList &makeArguments = {}) {
        QTest::newRow(name) << pack << QByteArray(source).replace("%1", QByteArray::number(size))
                            << message << makeArguments;
    };
    const QString romFull = ": code, read-only data and initial values do not fit in the ";
    const QString ramFull = ": .data, .bss and the stack do not fit in the ";
    row("Palmor ROM", "palpack51", inRom, 128 * 1024, "Palmor" + romFull + "128K of ROM");
    // Fits in RAM, but not with the stack.
    row("Palmor RAM", "palpack51", inRam, 62 * 1024, "Palmor" + ramFull + "64K of RAM");
    row("Dunnet ROM", "dunpack115", inRom, 256 * 1024, "Dunnet" + romFull + "256K of ROM");
    row("Dunnet RAM", "dunpack115", inRam, 126 * 1024, "Dunnet" + ramFull + "128K of RAM");
    row("Vessik ROM", "vespack113", inRom, 256 * 1024, "Vessik" + romFull + "256K of ROM");
    row("Vessik RAM", "vespack113", inRam, 31 * 1024, "Vessik" + ramFull + "32K of RAM");
    row("Lenko Camera ROM", "lnpack206", inRom, 1024 * 1024,
        "Lenko Camera" + romFull + "1M of ROM");
    row("Lenko Camera frame buffer", "lnpack206", inRam, 300 * 1024,
        "Lenko Camera: .data and .bss do not fit in the 256K of RAM below the frame buffer");
    // The stack above the frame buffer holds about 237K.
    row("Lenko Camera stack", "lnpack206", inRam, 16,
        "Lenko Camera: the stack does not fit in the RAM above the frame buffer",
        {"LDFLAGS=-Wl,--defsym=__stack_size=240K"});
}

void FirmwareProbeTest::oversizedImageDoesNotLink()
{
    QFETCH(QString, pack);
    QFETCH(QByteArray, source);
    QFETCH(QString, message);
    QFETCH(QStringList, makeArguments);

    const QString project = m_temporary.path() + "/too big/" + QTest::currentDataTag();
    const ProcessResult build = buildProject(project, pack, {{"big.c", source}}, makeArguments);
    QVERIFY(build.exitCode != 0);
    QVERIFY2(QString::fromUtf8(build.errors).contains(message), build.errors.constData());
    QVERIFY(!QFile::exists(project + "/" + QString(QTest::currentDataTag()) + ".elf"));
}

QTEST_GUILESS_MAIN(FirmwareProbeTest)
#include "tst_firmware_probe.moc"
