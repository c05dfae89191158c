// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string>

// Opens a file for editing outside the navigator. The window opens sources and
// the files named by compiler diagnostics through this, so that tests can put
// a recording opener in place of the desktop's editor.
class FileOpener
{
public:
    virtual ~FileOpener() = default;

    // Opens path (native bytes, absolute); returns an empty string on success,
    // otherwise why it could not be opened.
    virtual QString open(const std::string &path) = 0;
};

// Hands the file to the desktop, so that the user's own choice of editor holds.
class DesktopFileOpener : public FileOpener
{
public:
    QString open(const std::string &path) override;
};
