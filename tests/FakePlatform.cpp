// SPDX-License-Identifier: MIT
#include "tests/FakePlatform.h"

#include "actions/PathHelpers.h"
#include "platform/QtPlatform.h"

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
    return logged("message: ");
}

std::vector<std::string> FakePlatform::reasons() const
{
    return logged("reason: ");
}

std::vector<std::string> FakePlatform::logged(const std::string &prefix) const
{
    std::vector<std::string> result;
    for (const std::string &entry : log) {
        if (entry.compare(0, prefix.size(), prefix) == 0)
            result.push_back(entry.substr(prefix.size()));
    }
    return result;
}

void FakePlatform::showMessage(const std::string &text, const std::string &reason)
{
    log.push_back("message: " + text);
    if (!reason.empty())
        log.push_back("reason: " + reason);
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

std::error_code FakePlatform::refusesNewEntry(const std::string &path) const
{
    const std::string parentPart = DirectoryPart(path);
    const std::string parent = parentPart.empty() ? "/" : parentPart;
    if (exists(path))
        return std::make_error_code(std::errc::file_exists);
    if (directories.count(parent) == 0)
        return std::make_error_code(std::errc::no_such_file_or_directory);
    if (readOnlyDirectories.count(parent) > 0)
        return std::make_error_code(std::errc::permission_denied);
    return {};
}

bool FakePlatform::isWritableDirectory(const std::string &path) const
{
    if (m_real)
        return m_real->isWritableDirectory(path);
    return directories.count(path) > 0 && readOnlyDirectories.count(path) == 0;
}

std::error_code FakePlatform::createDirectory(const std::string &path)
{
    log.push_back("mkdir: " + path);
    if (m_real)
        return m_real->createDirectory(path);
    const std::error_code error = refusesNewEntry(path);
    if (!error)
        directories.insert(path);
    return error;
}

std::error_code FakePlatform::copyFileExclusive(const std::string &source,
                                                const std::string &target)
{
    log.push_back("copy: " + source + " -> " + target);
    if (m_real)
        return m_real->copyFileExclusive(source, target);
    if (files.count(source) == 0)
        return std::make_error_code(std::errc::no_such_file_or_directory);
    const std::error_code error = refusesNewEntry(target);
    if (!error)
        files.insert(target);
    return error;
}

std::error_code FakePlatform::startProcess(const Command &command)
{
    log.push_back("start: " + command.displayText());
    const std::error_code error = m_real ? m_real->startProcess(command)
                                  : unstartablePrograms.count(command.program) > 0
                                      ? std::make_error_code(std::errc::no_such_file_or_directory)
                                      : std::error_code();
    if (!error)
        startedCommands.push_back(command);
    return error;
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
