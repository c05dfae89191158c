// SPDX-License-Identifier: MIT
#pragma once

#include "navigator/NativeText.h"

// Opens a file for editing outside the navigator. The window opens sources and
// the files named by compiler diagnostics through this, so that tests can put
// a recording opener in place of the user's editor.
class FileOpener
{
public:
    virtual ~FileOpener() = default;

    // Opens path (native bytes, absolute) at line and column, both counted
    // from 1; a failure says why it could not be opened.
    virtual Result<Done> open(const std::string &path, int line, int column) = 0;
};

// Hands the file to the desktop, so that the user's own choice of editor holds.
// The desktop takes no line.
class DesktopFileOpener : public FileOpener
{
public:
    Result<Done> open(const std::string &path, int line, int column) override;
};
