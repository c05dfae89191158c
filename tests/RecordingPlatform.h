// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

// Logs everything the launcher asks of a platform, in call order, and passes
// it on. Before the end of the process it hands the log back to the test.
class RecordingPlatform : public Platform
{
public:
    explicit RecordingPlatform(Platform &recorded) : m_recorded(&recorded) {}

    // From now on, passes everything to this platform instead.
    void record(Platform &recorded) { m_recorded = &recorded; }

    // "message: ...", "reason: ...", "cursor: busy", "start: ...", "exit: 0", ...
    std::vector<std::string> log;
    std::vector<std::string> messages() const;

    void showMessage(const std::string &text, const std::string &reason) override;
    void setBusyCursor(bool busy) override;
    void setDialogInitialDir(const std::string &directory) override;
    void addDialogHideReadOnly() override;
    void setDialogFilter(const std::string &filter) override;
    void setDialogTitle(const std::string &title) override;
    bool executeDialog() override;
    std::string dialogFileName() const override;
    std::optional<std::string> currentDirectory() const override;
    std::optional<std::string> environmentVariable(const std::string &name) const override;
    void setEnvironmentVariable(const std::string &name, const std::string &value) override;
    bool isWritableDirectory(const std::string &path) const override;
    std::error_code createDirectory(const std::string &path) override;
    std::error_code copyFileExclusive(const std::string &source,
                                      const std::string &target) override;
    std::error_code startProcess(const Command &command) override;
    void waitForProcess() override;
    [[noreturn]] void exitProcess(int status) override;

private:
    Platform *m_recorded;
};

class ActionOutcome;
// An action's outcome in the log's words, as the window reports it once the
// action is over: the message and its reason, then "exit: 0" unless the action
// returned to the window.
std::vector<std::string> outcomeLog(const ActionOutcome &outcome);
