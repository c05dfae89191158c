// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Command.h"

#include <string>

// The command forms the navigator IDE accepts.

enum class BatchOptions
{
    Long,
    Short
};

// Creates the project file in batch mode and ends.
Command navigatorBatchCreate(const std::string &navigatorExe, BatchOptions options,
                             const std::string &projectFile);
// Opens the project file; ends when the user closes the IDE.
Command navigatorOpen(const std::string &navigatorExe, const std::string &projectFile);
// Starts the IDE with no project.
Command navigatorPlainStart(const std::string &navigatorExe);
