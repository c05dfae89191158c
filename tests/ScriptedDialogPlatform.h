#pragma once

#include "QtPlatform.h"

#include <optional>
#include <string>
#include <vector>

// The real platform for files, processes and the environment, with the user's
// side scripted: the dialog's answer, the messages (recorded, not shown) and the
// end of the process (thrown, so that the test sees it).
class ScriptedDialogPlatform : public Platform
{
public:
    struct ProcessEnded
    {
        int status;
    };

    std::optional<std::string> dialogAnswer;
    std::vector<std::string> messages;

    void showMessage(const std::string &text) override { messages.push_back(text); }
    void setBusyCursor(bool busy) override { m_real.setBusyCursor(busy); }
    void setDialogInitialDir(const std::string &) override {}
    void addDialogHideReadOnly() override {}
    void setDialogFilter(const std::string &) override {}
    bool executeDialog() override { return dialogAnswer.has_value(); }
    std::string dialogFileName() const override { return dialogAnswer.value_or(std::string()); }
    std::optional<std::string> currentDirectory() const override
    {
        return m_real.currentDirectory();
    }
    std::optional<std::string> environmentVariable(const std::string &name) const override
    {
        return m_real.environmentVariable(name);
    }
    void setEnvironmentVariable(const std::string &name, const std::string &value) override
    {
        m_real.setEnvironmentVariable(name, value);
    }
    bool createDirectory(const std::string &path) override { return m_real.createDirectory(path); }
    bool copyFileExclusive(const std::string &source, const std::string &target) override
    {
        return m_real.copyFileExclusive(source, target);
    }
    bool startProcess(const Command &command) override { return m_real.startProcess(command); }
    void waitForProcess() override { m_real.waitForProcess(); }
    [[noreturn]] void exitProcess(int status) override { throw ProcessEnded{status}; }

private:
    QtPlatform m_real{nullptr};
};
