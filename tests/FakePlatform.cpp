// SPDX-License-Identifier: MIT
#include "tests/FakePlatform.h"

#include "actions/PathHelpers.h"
#include "tests/ProcessEnd.h"

bool FakePlatform::executeDialog()
{
    if (dialogAnswers.empty())
        return false;
    const std::optional<std::string> answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    if (answer)
        m_dialogFileName = *answer;
    return answer.has_value();
}

std::optional<std::string> FakePlatform::environmentVariable(const std::string &name) const
{
    const auto found = environment.find(name);
    if (found == environment.end())
        return std::nullopt;
    return found->second;
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
    return directories.count(path) > 0 && readOnlyDirectories.count(path) == 0;
}

std::error_code FakePlatform::createDirectory(const std::string &path)
{
    const std::error_code error = refusesNewEntry(path);
    if (!error)
        directories.insert(path);
    return error;
}

std::error_code FakePlatform::copyFileExclusive(const std::string &source,
                                                const std::string &target)
{
    if (files.count(source) == 0)
        return std::make_error_code(std::errc::no_such_file_or_directory);
    const std::error_code error = refusesNewEntry(target);
    if (!error)
        files.insert(target);
    return error;
}

std::error_code FakePlatform::startProcess(const Command &command)
{
    if (unstartablePrograms.count(command.program) > 0)
        return std::make_error_code(std::errc::no_such_file_or_directory);
    startedCommands.push_back(command);
    return {};
}

void FakePlatform::exitProcess(int status)
{
    endProcessEndCopy(status);
}
