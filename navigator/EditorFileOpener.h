// SPDX-License-Identifier: MIT
#pragma once

#include "navigator/FileOpener.h"

#include <memory>

class NavigatorSettings;

// Opens files at their line in the editor the user chose: the command set in
// Settings ▸ Editor, else $VISUAL, else $EDITOR (see chooseEditorCommand()),
// else the desktop's editor, which takes no line. The editor runs detached,
// without a shell, and may outlive the navigator.
class EditorFileOpener : public FileOpener
{
public:
    explicit EditorFileOpener(std::shared_ptr<const NavigatorSettings> settings);

    Result<Done> open(const std::string &path, int line, int column) override;

    // The key of the command in the settings.
    static const QString settingsKey;

private:
    std::shared_ptr<const NavigatorSettings> m_settings;
    DesktopFileOpener m_desktop;
};
