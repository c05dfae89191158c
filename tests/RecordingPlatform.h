// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

struct ActionOutcome;

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
    void setBusyCursor(bool busy) override
    {
        log.push_back(busy ? "cursor: busy" : "cursor: normal");
        m_recorded->setBusyCursor(busy);
    }
    void setDialogInitialDir(const std::string &directory) override
    {
        log.push_back("dialog.initialDir: " + directory);
        m_recorded->setDialogInitialDir(directory);
    }
    void addDialogHideReadOnly() override
    {
        log.push_back("dialog.hideReadOnly");
        m_recorded->addDialogHideReadOnly();
    }
    void setDialogFilter(const std::string &filter) override
    {
        log.push_back("dialog.filter: " + filter);
        m_recorded->setDialogFilter(filter);
    }
    void setDialogTitle(const std::string &title) override
    {
        log.push_back("dialog.title: " + title);
        m_recorded->setDialogTitle(title);
    }
    bool executeDialog() override
    {
        log.push_back("dialog.execute");
        return m_recorded->executeDialog();
    }
    std::string dialogFileName() const override { return m_recorded->dialogFileName(); }
    std::optional<std::string> currentDirectory() const override
    {
        return m_recorded->currentDirectory();
    }
    std::optional<std::string> environmentVariable(const std::string &name) const override
    {
        return m_recorded->environmentVariable(name);
    }
    void setEnvironmentVariable(const std::string &name, const std::string &value) override
    {
        log.push_back("setenv: " + name + "=" + value);
        m_recorded->setEnvironmentVariable(name, value);
    }
    bool isWritableDirectory(const std::string &path) const override
    {
        return m_recorded->isWritableDirectory(path);
    }
    std::error_code createDirectory(const std::string &path) override
    {
        log.push_back("mkdir: " + path);
        return m_recorded->createDirectory(path);
    }
    std::error_code copyFileExclusive(const std::string &source, const std::string &target) override
    {
        log.push_back("copy: " + source + " -> " + target);
        return m_recorded->copyFileExclusive(source, target);
    }
    std::error_code startProcess(const Command &command) override
    {
        log.push_back("start: " + command.displayText());
        return m_recorded->startProcess(command);
    }
    void waitForProcess() override
    {
        log.push_back("wait");
        m_recorded->waitForProcess();
    }
    [[noreturn]] void exitProcess(int status) override;

private:
    Platform *m_recorded;
};

// An action's outcome in the log's words, as the window reports it once the
// action is over: the message and its reason, then "exit: 0" unless the action
// returned to the window.
std::vector<std::string> outcomeLog(const ActionOutcome &outcome);
