#pragma once

#include "Platform.h"

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// A scripted platform for the actions: an in-memory file system, scripted dialog
// answers and program starts, and a log of everything the launcher asked for.
class FakePlatform : public Platform
{
public:
    // Thrown by exitProcess(), so that a test sees the end of the process.
    struct ProcessEnded
    {
        int status;
    };

    // Script
    std::optional<std::string> workingDirectory = std::string("/fake/root");
    std::map<std::string, std::string> environment;
    std::deque<std::optional<std::string>> dialogAnswers; // nullopt: cancelled
    std::set<std::string> directories{"/"};
    std::set<std::string> files;
    std::set<std::string> unstartablePrograms;

    // Record, in call order: "message: ...", "cursor: busy", "dialog.execute", ...
    std::vector<std::string> log;
    std::vector<Command> startedCommands;

    std::vector<std::string> messages() const;

    void showMessage(const std::string &text) override;
    void setBusyCursor(bool busy) override;
    void setDialogInitialDir(const std::string &directory) override;
    void addDialogHideReadOnly() override;
    void setDialogFilter(const std::string &filter) override;
    bool executeDialog() override;
    std::string dialogFileName() const override;
    std::optional<std::string> currentDirectory() const override;
    std::optional<std::string> environmentVariable(const std::string &name) const override;
    void setEnvironmentVariable(const std::string &name, const std::string &value) override;
    bool createDirectory(const std::string &path) override;
    bool copyFileExclusive(const std::string &source, const std::string &target) override;
    bool startProcess(const Command &command) override;
    void waitForProcess() override;
    [[noreturn]] void exitProcess(int status) override;

private:
    bool exists(const std::string &path) const;
    std::string m_dialogFileName;
};
