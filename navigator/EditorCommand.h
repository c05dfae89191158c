// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The command that opens a file in the user's editor at a line and column: a
// list of words, the first the program, in which "{file}", "{line}" and
// "{column}" stand for where to open. It runs without a shell, so a file name
// arrives as it is, whatever characters it holds.

struct EditorCommand
{
    QStringList words; // empty: no editor chosen, the desktop's is used
    QString source;    // where it came from, for messages: the setting or a variable
    QString error;     // why the command cannot be used; words is empty then
};

// Splits a command line into words at unquoted white space, as a shell does
// without expanding anything: '…' keeps everything, "…" keeps everything but
// \" and \\, and \ outside quotes keeps the character after it. Sets error for
// an unterminated quote or a trailing backslash.
QStringList splitCommandLine(const QString &commandLine, QString *error);

// The editor command in this order: the one set in the navigator (configured),
// then $VISUAL, then $EDITOR; none: empty words. A variable names a program,
// perhaps with options; a known editor gets its way of taking a line, and a
// terminal editor runs in a terminal emulator. Any other program gets the file
// alone.
EditorCommand chooseEditorCommand(const QString &configured, const QString &visual,
                                  const QString &editor);

// The command's words with the placeholders replaced, word by word; the file
// goes last when no word holds "{file}".
QStringList editorArguments(const QStringList &words, const QString &file, int line, int column);

// The command lines of the known editors that isInstalled() finds, terminal
// editors among them when there is a terminal emulator to run them.
QStringList installedEditorCommands(const std::function<bool(const QString &)> &isInstalled);
