// SPDX-License-Identifier: MIT
#include "navigator/CommandLine.h"
#include "navigator/EditorCommand.h"
#include "tests/TestSupport.h"

using Arguments = std::vector<std::string>;

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void parses_data();
    void parses();
    void buildsEditorArguments_data();
    void buildsEditorArguments();
    void choosesEditorCommand_data();
    void choosesEditorCommand();
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

void CommandLineTest::buildsEditorArguments_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("arguments"); // joined by "|"; or why it is refused

    const auto row = [](const char *name, const char *commandLine, const QString &arguments) {
        QTest::newRow(name) << QString::fromUtf8(commandLine) << arguments;
    };
    const QString file = QStringLiteral("/w/my robot/$(touch x) `id`.c");
    row("placeholders inside words", "code -g {file}:{line}:{column}",
        "code|-g|" + file + ":41:34");
    row("file with spaces and $(x) one word", "gedit +{line} {file}", "gedit|+41|" + file);
    row("quoted words", R"('/opt/my ed' "-t=a \"b\" \\c" '{file}')",
        R"(/opt/my ed|-t=a "b" \c|)" + file);
    row("backslashes and empty quotes", R"(ed\ it  '' x\'y {file})", "ed it||x'y|" + file);
    row("no {file}: the file goes last", "mousepad --line {line}", "mousepad|--line|41|" + file);
    row("unclosed quote", "\"my editor {file}", "a \" quote is not closed");
    row("trailing backslash", "vim \\", "it ends in a backslash");
}

void CommandLineTest::buildsEditorArguments()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, arguments);

    QString error;
    const QStringList words = splitCommandLine(commandLine, &error);
    QCOMPARE(error.isEmpty()
                 ? editorArguments(words, QStringLiteral("/w/my robot/$(touch x) `id`.c"), 41, 34)
                       .join(QLatin1Char('|'))
                 : error,
             arguments);
}

void CommandLineTest::choosesEditorCommand_data()
{
    QTest::addColumn<QStringList>("settingVisualEditor");
    QTest::addColumn<QString>("words"); // joined by "|"; empty: the desktop's editor
    QTest::addColumn<QString>("source");

    const auto row = [](const char *name, const QStringList &chosen, const QString &words,
                        const char *source) {
        QTest::newRow(name) << chosen << words << source;
    };
    const QString terminal = QStringLiteral("x-terminal-emulator|-e|");
    row("the setting first", {"kate {file}", "gvim", "nano"}, "kate|{file}",
        "Settings \u25b8 Editor");
    row("then $VISUAL, with its line syntax", {" ", "/usr/bin/gvim -f", "nano"},
        "/usr/bin/gvim|-f|+{line}|{file}", "$VISUAL");
    row("then $EDITOR, in a terminal", {"", "", "vim"}, terminal + "vim|+{line}|{file}", "$EDITOR");
    row("emacs -nw in a terminal", {"", "", "emacs -nw"},
        terminal + "emacs|-nw|+{line}:{column}|{file}", "$EDITOR");
    row("emacs in a window", {"", "emacs", ""}, "emacs|+{line}:{column}|{file}", "$VISUAL");
    row("unknown program", {"", "'/opt/my ed' -n", ""}, "/opt/my ed|-n", "$VISUAL");
    row("nothing set: the desktop's editor", {"", "", ""}, "", "");
}

void CommandLineTest::choosesEditorCommand()
{
    QFETCH(QStringList, settingVisualEditor);
    QFETCH(QString, words);
    QFETCH(QString, source);

    const EditorCommand command =
        chooseEditorCommand(settingVisualEditor[0], settingVisualEditor[1], settingVisualEditor[2]);
    QCOMPARE(command.words.join(QLatin1Char('|')), words);
    QCOMPARE(command.source, source);
    QCOMPARE(command.error, QString());
}

QTEST_APPLESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
