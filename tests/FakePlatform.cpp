// SPDX-License-Identifier: MIT
#include "FakePlatform.h"

#include "PathHelpers.h"
#include "QtPlatform.h"

#include <QTimer>

FakePlatform::FakePlatform(System system)
    : m_real(system == System::Real ? std::make_unique<QtPlatform>(nullptr) : nullptr)
{}

FakePlatform::~FakePlatform() = default;

void FakePlatform::setWindow(QWidget *window)
{
    if (m_real)
        m_real = std::make_unique<QtPlatform>(window);
}

std::vector<std::string> FakePlatform::messages() const
{
    const std::string prefix = "message: ";
    std::vector<std::string> result;
    for (const std::string &entry : log) {
        if (entry.compare(0, prefix.size(), prefix) == 0)
            result.push_back(entry.substr(prefix.size()));
    }
    return result;
}

void FakePlatform::showMessage(const std::string &text)
{
    log.push_back("message: " + text);
}

void FakePlatform::setBusyCursor(bool busy)
{
    log.push_back(busy ? "cursor: busy" : "cursor: normal");
    if (m_real)
        m_real->setBusyCursor(busy);
}

void FakePlatform::setDialogInitialDir(const std::string &directory)
{
    log.push_back("dialog.initialDir: " + directory);
}

void FakePlatform::addDialogHideReadOnly()
{
    log.push_back("dialog.hideReadOnly");
}

void FakePlatform::setDialogFilter(const std::string &filter)
{
    log.push_back("dialog.filter: " + filter);
}

void FakePlatform::setDialogTitle(const std::string &title)
{
    log.push_back("dialog.title: " + title);
}

bool FakePlatform::executeDialog()
{
    log.push_back("dialog.execute");
    if (dialogAnswers.empty() || !dialogAnswers.front()) {
        if (!dialogAnswers.empty())
            dialogAnswers.pop_front();
        return false;
    }
    m_dialogFileName = *dialogAnswers.front();
    dialogAnswers.pop_front();
    return true;
}

std::string FakePlatform::dialogFileName() const
{
    return m_dialogFileName;
}

std::optional<std::string> FakePlatform::currentDirectory() const
{
    if (m_real)
        return m_real->currentDirectory();
    return workingDirectory;
}

std::optional<std::string> FakePlatform::environmentVariable(const std::string &name) const
{
    if (m_real)
        return m_real->environmentVariable(name);
    const auto found = environment.find(name);
    if (found == environment.end())
        return std::nullopt;
    return found->second;
}

void FakePlatform::setEnvironmentVariable(const std::string &name, const std::string &value)
{
    log.push_back("setenv: " + name + "=" + value);
    if (m_real)
        m_real->setEnvironmentVariable(name, value);
    else
        environment[name] = value;
}

bool FakePlatform::exists(const std::string &path) const
{
    return directories.count(path) > 0 || files.count(path) > 0;
}

bool FakePlatform::createDirectory(const std::string &path)
{
    log.push_back("mkdir: " + path);
    if (m_real)
        return m_real->createDirectory(path);
    const std::string parent = DirectoryPart(path);
    if (exists(path) || directories.count(parent.empty() ? "/" : parent) == 0)
        return false;
    directories.insert(path);
    return true;
}

bool FakePlatform::copyFileExclusive(const std::string &source, const std::string &target)
{
    log.push_back("copy: " + source + " -> " + target);
    if (m_real)
        return m_real->copyFileExclusive(source, target);
    const std::string parent = DirectoryPart(target);
    if (files.count(source) == 0 || exists(target) ||
        directories.count(parent.empty() ? "/" : parent) == 0)
        return false;
    files.insert(target);
    return true;
}

bool FakePlatform::startProcess(const Command &command)
{
    log.push_back("start: " + command.displayText());
    if (m_real ? !m_real->startProcess(command) : unstartablePrograms.count(command.program) > 0)
        return false;
    startedCommands.push_back(command);
    return true;
}

void FakePlatform::waitForProcess()
{
    log.push_back("wait");
    if (m_real) {
        // Acts from inside the real wait's event loop.
        if (duringWait)
            QTimer::singleShot(0, duringWait);
        m_real->waitForProcess();
    } else if (duringWait) {
        duringWait();
    }
}

void FakePlatform::exitProcess(int status)
{
    log.push_back("exit: " + std::to_string(status));
    throw ProcessEnded{status};
}
