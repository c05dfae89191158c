// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Command.h"

#include <optional>
#include <string>
#include <system_error>

// What the launcher needs from the windowing toolkit and the operating system.
// Paths, variables and command lines are native byte strings; messages are UTF-8.
class Platform
{
public:
    virtual ~Platform() = default;

    // Toolkit

    // A modal box with one OK button; returns once the user has closed it. A
    // reason, when not empty, is shown below the text as its informative text.
    virtual void showMessage(const std::string &text, const std::string &reason) = 0;
    // The application-wide pointer: the busy cursor, shown at once, or the normal one.
    virtual void setBusyCursor(bool busy) = 0;

    // The open-file dialog keeps its settings from one use to the next.
    virtual void setDialogInitialDir(const std::string &directory) = 0;
    virtual void addDialogHideReadOnly() = 0;
    // Patterns separated by ";", without a description part: "*.c;*.cc;*.s".
    virtual void setDialogFilter(const std::string &filter) = 0;
    // What the dialog asks the user for, in its title bar.
    virtual void setDialogTitle(const std::string &title) = 0;
    // Modal; true when the user confirmed a name, which need not exist.
    virtual bool executeDialog() = 0;
    // The full path confirmed by the last successful executeDialog().
    virtual std::string dialogFileName() const = 0;

    // Operating system

    // The current directory exactly as the system gives it, of any length.
    virtual std::optional<std::string> currentDirectory() const = 0;
    virtual std::optional<std::string> environmentVariable(const std::string &name) const = 0;
    // Set in this process, so that every program started afterwards inherits it.
    virtual void setEnvironmentVariable(const std::string &name, const std::string &value) = 0;

    // Whether this process may create entries in the directory.
    virtual bool isWritableDirectory(const std::string &path) const = 0;

    // The operations below return the system's error, or no error on success.

    // One level, default permissions; fails when the name exists or the parent is missing.
    [[nodiscard]] virtual std::error_code createDirectory(const std::string &path) = 0;
    // Copies a regular file's bytes and permission bits (less the umask) to a target that must not
    // exist yet; fails when it exists or the copy fails, and no partial file stays.
    [[nodiscard]] virtual std::error_code copyFileExclusive(const std::string &source,
                                                            const std::string &target) = 0;

    // Starts the program with the launcher's environment, current directory and
    // standard streams; fails when it cannot be started, or while a program
    // started before is still running.
    [[nodiscard]] virtual std::error_code startProcess(const Command &command) = 0;
    // Returns once the started program has ended. Meanwhile the window keeps
    // painting and answering the window manager, shows that it is busy and takes
    // no input by any route, and nothing of the launcher holds the desktop's input.
    virtual void waitForProcess() = 0;

    // Ends the process at once with this status.
    [[noreturn]] virtual void exitProcess(int status) = 0;
};
