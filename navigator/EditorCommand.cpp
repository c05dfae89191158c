// SPDX-License-Identifier: MIT
#include "navigator/EditorCommand.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

struct KnownEditor
{
    const char *program;
    const char *arguments; // how it takes a file, line and column
    bool terminal;         // runs in a terminal emulator
};

// Looked up by program name, first match first: plain "emacs" opens a window.
constexpr KnownEditor knownEditors[] = {
    {"code", "-g {file}:{line}:{column}", false},
    {"codium", "-g {file}:{line}:{column}", false},
    {"subl", "{file}:{line}:{column}", false},
    {"gedit", "+{line}:{column} {file}", false},
    {"kate", "-l {line} -c {column} {file}", false},
    {"geany", "--line {line} --column {column} {file}", false},
    {"mousepad", "--line {line} {file}", false},
    {"gvim", "+{line} {file}", false},
    {"emacs", "+{line}:{column} {file}", false},
    {"emacs", "-nw +{line}:{column} {file}", true},
    {"vim", "+{line} {file}", true},
    {"nvim", "+{line} {file}", true},
    {"vi", "+{line} {file}", true},
    {"nano", "+{line},{column} {file}", true},
    {"micro", "+{line}:{column} {file}", true},
};

const QString terminalEmulator = QStringLiteral("x-terminal-emulator");

QString tr(const char *text)
{
    return QCoreApplication::translate("EditorCommand", text);
}

QStringList inTerminal(const QStringList &words)
{
    return QStringList{terminalEmulator, QStringLiteral("-e")} + words;
}

// The command for the program a variable names.
EditorCommand variableCommand(const QString &name, const QString &value)
{
    EditorCommand command{{}, QLatin1Char('$') + name, {}};
    QStringList words = splitCommandLine(value, &command.error);
    if (words.isEmpty())
        return command;
    const QString program = QFileInfo(words.first()).fileName();
    for (const KnownEditor &known : knownEditors) {
        if (program != QLatin1String(known.program))
            continue;
        words += QString::fromLatin1(known.arguments).split(QLatin1Char(' '));
        const bool terminal = known.terminal || words.contains(QStringLiteral("-nw"));
        command.words = terminal ? inTerminal(words) : words;
        return command;
    }
    command.words = words;
    return command;
}

} // namespace

QStringList splitCommandLine(const QString &commandLine, QString *error)
{
    const QChar single = QLatin1Char('\''), dbl = QLatin1Char('"'), backslash = QLatin1Char('\\');
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote; // null: outside quotes
    for (qsizetype i = 0; i < commandLine.size(); ++i) {
        const QChar c = commandLine.at(i);
        const QChar next = i + 1 < commandLine.size() ? commandLine.at(i + 1) : QChar();
        if (quote == single) {
            if (c == single)
                quote = QChar();
            else
                word += c;
        } else if (quote == dbl) {
            if (c == dbl)
                quote = QChar();
            else if (c == backslash && (next == dbl || next == backslash))
                word += commandLine.at(++i);
            else
                word += c;
        } else if (c.isSpace()) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == single || c == dbl) {
                quote = c;
            } else if (c != backslash) {
                word += c;
            } else if (next.isNull()) {
                *error = tr("it ends in a backslash");
                return {};
            } else {
                word += commandLine.at(++i);
            }
        }
    }
    if (!quote.isNull()) {
        *error = tr("a %1 quote is not closed").arg(quote);
        return {};
    }
    if (inWord)
        words << word;
    return words;
}

EditorCommand chooseEditorCommand(const QString &configured, const QString &visual,
                                  const QString &editor)
{
    if (!configured.trimmed().isEmpty()) {
        EditorCommand command{{}, tr("Settings \u25b8 Editor"), {}};
        command.words = splitCommandLine(configured, &command.error);
        return command;
    }
    if (!visual.trimmed().isEmpty())
        return variableCommand(QStringLiteral("VISUAL"), visual);
    if (!editor.trimmed().isEmpty())
        return variableCommand(QStringLiteral("EDITOR"), editor);
    return {};
}

QStringList editorArguments(const QStringList &words, const QString &file, int line, int column)
{
    static const QRegularExpression placeholder(QStringLiteral("\\{(file|line|column)\\}"));
    QStringList arguments;
    bool fileGiven = false;
    for (const QString &word : words) {
        // Match by match, so that a file name holding "{line}" stays as it is.
        QString argument;
        qsizetype done = 0;
        for (const QRegularExpressionMatch &match : placeholder.globalMatch(word)) {
            const QString name = match.captured(1);
            argument += word.mid(done, match.capturedStart() - done);
            if (name == QLatin1String("file"))
                argument += file;
            else
                argument += QString::number(name == QLatin1String("line") ? line : column);
            fileGiven = fileGiven || name == QLatin1String("file");
            done = match.capturedEnd();
        }
        arguments << argument + word.mid(done);
    }
    if (!fileGiven)
        arguments << file;
    return arguments;
}

QStringList installedEditorCommands(const std::function<bool(const QString &)> &isInstalled)
{
    const bool terminalFound = isInstalled(terminalEmulator);
    QStringList commands;
    for (const KnownEditor &known : knownEditors) {
        const QString program = QString::fromLatin1(known.program);
        if ((known.terminal && !terminalFound) || !isInstalled(program))
            continue;
        const QString line = program + QLatin1Char(' ') + QLatin1String(known.arguments);
        commands << (known.terminal ? inTerminal({line}).join(QLatin1Char(' ')) : line);
    }
    return commands;
}
