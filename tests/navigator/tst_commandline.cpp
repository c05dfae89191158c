// SPDX-License-Identifier: MIT
#include "CommandLine.h"
#include "NavigatorTestSupport.h"

using Arguments = std::vector<std::string>;

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void parses_data();
    void parses();
};

void CommandLineTest::parses_data()
{
    QTest::addColumn<Arguments>("arguments");
    QTest::addColumn<LaunchMode>("mode");
    QTest::addColumn<std::string>("file");

    const auto row = [](const char *name, const Arguments &arguments, LaunchMode mode,
                        const std::string &file = {}) {
        QTest::newRow(name) << arguments << mode << file;
    };
    const auto bad = [&row](const char *name, const Arguments &arguments) {
        row(name, arguments, LaunchMode::UsageError);
    };
    using M = LaunchMode;

    row("no arguments: empty window", {}, M::PlainStart);
    row("one file: open it", {"/w/robot.proj"}, M::OpenProject, "/w/robot.proj");
    row("open path with spaces and accents", {"/home/zoé/mes projets/robot 1.proj"}, M::OpenProject,
        "/home/zoé/mes projets/robot 1.proj");
    row("open invalid utf-8 path", {"/tmp/\xff\xfe/r\xe9.proj"}, M::OpenProject,
        "/tmp/\xff\xfe/r\xe9.proj");
    row("open file named -", {"-"}, M::OpenProject, "-");
    row("batch long options", {"--batchmode", "--create", "/w/a b.proj"}, M::BatchCreate,
        "/w/a b.proj");
    row("batch short options", {"-b", "-c", "/w/a b.proj"}, M::BatchCreate, "/w/a b.proj");
    row("batch create given first", {"-c", "r.proj", "--batchmode"}, M::BatchCreate, "r.proj");
    row("batch file beginning with -", {"-b", "-c", "-robot.proj"}, M::BatchCreate, "-robot.proj");
    row("batch file spelled like an option", {"--batchmode", "--create", "--batchmode"},
        M::BatchCreate, "--batchmode");
    row("batch invalid utf-8 path", {"-b", "-c", "/t/\x80 $(x);*.proj"}, M::BatchCreate,
        "/t/\x80 $(x);*.proj");
    row("help", {"--help"}, M::Help);

    bad("unknown short option", {"-x"});
    bad("option with attached value", {"-b", "--create=r.proj"});
    bad("missing file after --create", {"--batchmode", "--create"});
    bad("missing file after -c", {"-b", "-c"});
    bad("batch without create", {"-b"});
    bad("create without batch", {"--create", "r.proj"});
    bad("extra argument in batch mode", {"-b", "-c", "r.proj", "s.proj"});
    bad("two project files", {"r.proj", "s.proj"});
    bad("batch option twice", {"-b", "--batchmode", "-c", "r.proj"});
    bad("empty file to create", {"-b", "-c", ""});
}

void CommandLineTest::parses()
{
    QFETCH(Arguments, arguments);
    QFETCH(LaunchMode, mode);
    QFETCH(std::string, file);

    const LaunchRequest request = parseCommandLine(arguments);
    QCOMPARE(request.mode, mode);
    QCOMPARE(request.projectFile, file);
    QCOMPARE(request.error.empty(), mode != LaunchMode::UsageError);

    // main()'s argv form skips the program name and gives the same result.
    std::vector<const char *> argv = {"snavigator"};
    for (const std::string &argument : arguments)
        argv.push_back(argument.c_str());
    const LaunchRequest fromArgv = parseCommandLine(static_cast<int>(argv.size()), argv.data());
    QCOMPARE(fromArgv.mode, mode);
    QCOMPARE(fromArgv.projectFile, file);
}

QTEST_APPLESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
