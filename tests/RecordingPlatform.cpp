// SPDX-License-Identifier: MIT
#include "tests/RecordingPlatform.h"

#include "actions/ActionOutcome.h"
#include "tests/ProcessEnd.h"

#include <cstdlib>

std::vector<std::string> RecordingPlatform::messages() const
{
    const std::string prefix = "message: ";
    std::vector<std::string> result;
    for (const std::string &entry : log) {
        if (entry.compare(0, prefix.size(), prefix) == 0)
            result.push_back(entry.substr(prefix.size()));
    }
    return result;
}

void RecordingPlatform::showMessage(const std::string &text, const std::string &reason)
{
    log.push_back("message: " + text);
    if (!reason.empty())
        log.push_back("reason: " + reason);
    m_recorded->showMessage(text, reason);
}

void RecordingPlatform::setBusyCursor(bool busy)
{
    log.push_back(busy ? "cursor: busy" : "cursor: normal");
    m_recorded->setBusyCursor(busy);
}

void RecordingPlatform::setDialogInitialDir(const std::string &directory)
{
    log.push_back("dialog.initialDir: " + directory);
    m_recorded->setDialogInitialDir(directory);
}

void RecordingPlatform::addDialogHideReadOnly()
{
    log.push_back("dialog.hideReadOnly");
    m_recorded->addDialogHideReadOnly();
}

void RecordingPlatform::setDialogFilter(const std::string &filter)
{
    log.push_back("dialog.filter: " + filter);
    m_recorded->setDialogFilter(filter);
}

void RecordingPlatform::setDialogTitle(const std::string &title)
{
    log.push_back("dialog.title: " + title);
    m_recorded->setDialogTitle(title);
}

bool RecordingPlatform::executeDialog()
{
    log.push_back("dialog.execute");
    return m_recorded->executeDialog();
}

std::string RecordingPlatform::dialogFileName() const
{
    return m_recorded->dialogFileName();
}

std::optional<std::string> RecordingPlatform::currentDirectory() const
{
    return m_recorded->currentDirectory();
}

std::optional<std::string> RecordingPlatform::environmentVariable(const std::string &name) const
{
    return m_recorded->environmentVariable(name);
}

void RecordingPlatform::setEnvironmentVariable(const std::string &name, const std::string &value)
{
    log.push_back("setenv: " + name + "=" + value);
    m_recorded->setEnvironmentVariable(name, value);
}

bool RecordingPlatform::isWritableDirectory(const std::string &path) const
{
    return m_recorded->isWritableDirectory(path);
}

std::error_code RecordingPlatform::createDirectory(const std::string &path)
{
    log.push_back("mkdir: " + path);
    return m_recorded->createDirectory(path);
}

std::error_code RecordingPlatform::copyFileExclusive(const std::string &source,
                                                     const std::string &target)
{
    log.push_back("copy: " + source + " -> " + target);
    return m_recorded->copyFileExclusive(source, target);
}

std::error_code RecordingPlatform::startProcess(const Command &command)
{
    log.push_back("start: " + command.displayText());
    return m_recorded->startProcess(command);
}

void RecordingPlatform::waitForProcess()
{
    log.push_back("wait");
    m_recorded->waitForProcess();
}

void RecordingPlatform::exitProcess(int status)
{
    log.push_back("exit: " + std::to_string(status));
    reportProcessEnd(log);
    m_recorded->exitProcess(status);
    std::abort(); // not reached: the compiler cannot see through the virtual call
}

std::vector<std::string> outcomeLog(const ActionOutcome &outcome)
{
    std::vector<std::string> lines;
    if (!outcome.message().empty())
        lines.push_back("message: " + outcome.message());
    if (!outcome.reason().empty())
        lines.push_back("reason: " + outcome.reason());
    if (!outcome.returnsToWindow())
        lines.push_back("exit: 0");
    return lines;
}
