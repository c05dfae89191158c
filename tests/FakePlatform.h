// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Platform.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The tests' in-memory platform. The user's side is scripted: dialog answers,
// messages closed at once, acts during each wait. The system's side is a set
// of paths and variables, with scripted program starts. Its end of the process
// is real, so it ends a test only inside runToProcessEnd().
class FakePlatform : public Platform
{
public:
    // Called during each wait, as the user or an assistive tool might act then.
    std::function<void()> duringWait;

    std::deque<std::optional<std::string>> dialogAnswers; // nullopt: cancelled
    std::optional<std::string> workingDirectory = std::string("/fake/root");
    std::map<std::string, std::string> environment;
    std::set<std::string> directories{"/"};
    std::set<std::string> readOnlyDirectories; // creating entries in them is refused
    std::set<std::string> files;
    std::set<std::string> unstartablePrograms; // as if missing
    std::vector<Command> startedCommands;

    void showMessage(const std::string &, const std::string &) override {}
    void setBusyCursor(bool) override {}
    void setDialogInitialDir(const std::string &) override {}
    void addDialogHideReadOnly() override {}
    void setDialogFilter(const std::string &) override {}
    void setDialogTitle(const std::string &) override {}
    bool executeDialog() override;
    std::string dialogFileName() const override { return m_dialogFileName; }
    std::optional<std::string> currentDirectory() const override { return workingDirectory; }
    std::optional<std::string> environmentVariable(const std::string &name) const override;
    void setEnvironmentVariable(const std::string &name, const std::string &value) override
    {
        environment[name] = value;
    }
    bool isWritableDirectory(const std::string &path) const override;
    std::error_code createDirectory(const std::string &path) override;
    std::error_code copyFileExclusive(const std::string &source,
                                      const std::string &target) override;
    std::error_code startProcess(const Command &command) override;
    void waitForProcess() override
    {
        if (duringWait)
            duringWait();
    }
    [[noreturn]] void exitProcess(int status) override;

private:
    bool exists(const std::string &path) const;
    // Why a new entry cannot be made at the path, or no error.
    std::error_code refusesNewEntry(const std::string &path) const;
    std::string m_dialogFileName;
};
