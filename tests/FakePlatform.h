// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Platform.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class QWidget;

// The tests' platform. The user's side is scripted: dialog answers, messages
// (recorded, never shown) and the end of the process (thrown, so that the test
// sees it). The system's side is an in-memory file system with scripted
// program starts, or, over the real system, the launcher's own platform:
// real files, environment and programs, and the real wait on the window.
// Everything the launcher asks for is logged, in call order.
class FakePlatform : public Platform
{
public:
    enum class System
    {
        InMemory,
        Real
    };

    // Thrown by exitProcess().
    struct ProcessEnded
    {
        int status;
    };

    explicit FakePlatform(System system = System::InMemory);
    ~FakePlatform() override;

    // With the real system: the window that shows the busy state during waits.
    void setWindow(QWidget *window);

    // Called during each wait, as the user or an assistive tool might act then.
    std::function<void()> duringWait;

    // Script of the user's side
    std::deque<std::optional<std::string>> dialogAnswers; // nullopt: cancelled
    // Script of the in-memory system
    std::optional<std::string> workingDirectory = std::string("/fake/root");
    std::map<std::string, std::string> environment;
    std::set<std::string> directories{"/"};
    std::set<std::string> readOnlyDirectories; // creating entries in them is refused
    std::set<std::string> files;
    std::set<std::string> unstartablePrograms; // as if missing

    // Record, in call order: "message: ...", "reason: ...", "cursor: busy", ...
    std::vector<std::string> log;
    std::vector<Command> startedCommands;

    std::vector<std::string> messages() const;
    std::vector<std::string> reasons() const;

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
    std::vector<std::string> logged(const std::string &prefix) const;
    bool exists(const std::string &path) const;
    // Why a new entry cannot be made at the path, or no error.
    std::error_code refusesNewEntry(const std::string &path) const;
    std::unique_ptr<Platform> m_real; // null for the in-memory system
    std::string m_dialogFileName;
};
