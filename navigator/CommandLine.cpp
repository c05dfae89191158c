// SPDX-License-Identifier: MIT
#include "navigator/CommandLine.h"

#include <utility>

namespace {

LaunchRequest usageError(std::string message)
{
    return {LaunchMode::UsageError, {}, std::move(message)};
}

bool isOption(const std::string &argument)
{
    return argument.size() > 1 && argument.front() == '-';
}

} // namespace

LaunchRequest parseCommandLine(const std::vector<std::string> &arguments)
{
    bool batch = false;
    bool help = false;
    bool create = false;
    std::string createFile;
    std::vector<std::string> positional;

    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "-b" || argument == "--batchmode") {
            if (batch)
                return usageError("option '" + argument + "' given twice");
            batch = true;
        } else if (argument == "-c" || argument == "--create") {
            if (create)
                return usageError("option '" + argument + "' given twice");
            if (i + 1 == arguments.size())
                return usageError("option '" + argument + "' needs a project file");
            create = true;
            createFile = arguments[++i];
        } else if (argument == "-h" || argument == "--help") {
            help = true;
        } else if (isOption(argument)) {
            return usageError("unknown option '" + argument + "'");
        } else {
            positional.push_back(argument);
        }
    }

    if (help)
        return {LaunchMode::Help, {}, {}};
    if (batch != create)
        return usageError(batch ? "batch mode needs '--create FILE'"
                                : "'--create' works only in batch mode ('--batchmode')");
    if (batch) {
        if (!positional.empty())
            return usageError("unexpected argument '" + positional.front() + "' in batch mode");
        if (createFile.empty())
            return usageError("empty project file name");
        return {LaunchMode::BatchCreate, createFile, {}};
    }
    if (positional.empty())
        return {LaunchMode::PlainStart, {}, {}};
    if (positional.size() > 1)
        return usageError("more than one project file given");
    if (positional.front().empty())
        return usageError("empty project file name");
    return {LaunchMode::OpenProject, positional.front(), {}};
}

LaunchRequest parseCommandLine(int argc, const char *const *argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return parseCommandLine(arguments);
}

std::string usageText()
{
    return "usage: snavigator [PROJECT-FILE]\n"
           "       snavigator --batchmode --create PROJECT-FILE\n"
           "       snavigator -b -c PROJECT-FILE\n"
           "\n"
           "Without options, opens PROJECT-FILE (or an empty window) in the navigator.\n"
           "In batch mode, writes the new PROJECT-FILE listing the sources in its\n"
           "directory and ends; an existing file is never replaced.\n";
}
