// SPDX-License-Identifier: MIT
#include "navigator/EditorFileOpener.h"

#include "navigator/EditorCommand.h"
#include "navigator/NavigatorSettings.h"

#include <QFile>
#include <QProcess>

const QString EditorFileOpener::settingsKey = QStringLiteral("editorCommand");

EditorFileOpener::EditorFileOpener(std::shared_ptr<const NavigatorSettings> settings)
    : m_settings(std::move(settings))
{}

Result<Done> EditorFileOpener::open(const std::string &path, int line, int column)
{
    const EditorCommand command =
        chooseEditorCommand(m_settings->value(settingsKey).toString(),
                            qEnvironmentVariable("VISUAL"), qEnvironmentVariable("EDITOR"));
    if (!command.error.isEmpty())
        return failure(QObject::tr("the editor command from %1 cannot be read: %2")
                           .arg(command.source, command.error));
    if (command.words.isEmpty())
        return m_desktop.open(path, line, column);

    // The editor gets the name as text: one that does not survive decoding
    // would open another file.
    const QByteArray nativePath = QByteArray::fromStdString(path);
    const QString file = QFile::decodeName(nativePath);
    if (QFile::encodeName(file) != nativePath)
        return failure(QObject::tr("its name is not valid in this locale"));
    const QStringList arguments = editorArguments(command.words, file, line, column);
    QProcess editor;
    editor.setProgram(arguments.first());
    editor.setArguments(arguments.mid(1));
    editor.setStandardInputFile(QProcess::nullDevice());
    if (!editor.startDetached())
        return failure(QObject::tr("the editor '%1' (from %2) did not start: %3")
                           .arg(arguments.first(), command.source, editor.errorString()));
    return Done();
}
