// SPDX-License-Identifier: MIT
#include "actions/NavigatorCommands.h"

Command navigatorBatchCreate(const std::string &navigatorExe, BatchOptions options,
                             const std::string &projectFile)
{
    if (options == BatchOptions::Long)
        return {navigatorExe, {"--batchmode", "--create", projectFile}};
    return {navigatorExe, {"-b", "-c", projectFile}};
}

Command navigatorOpen(const std::string &navigatorExe, const std::string &projectFile)
{
    return {navigatorExe, {projectFile}};
}

Command navigatorPlainStart(const std::string &navigatorExe)
{
    return {navigatorExe, {}};
}
