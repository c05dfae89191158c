// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

// The command forms snavigator accepts:
//   snavigator --batchmode --create FILE   write the project file FILE, then end
//   snavigator -b -c FILE                  the same, short options
//   snavigator FILE                        open the project file FILE in a window
//   snavigator                             open an empty window
// Arguments are kept as raw bytes. The argument after --create/-c is always the
// file, even when it begins with '-'.

enum class LaunchMode
{
    PlainStart,
    OpenProject,
    BatchCreate,
    Help,
    UsageError
};

struct LaunchRequest
{
    LaunchMode mode = LaunchMode::UsageError;
    std::string projectFile; // OpenProject and BatchCreate
    std::string error;       // UsageError
};

// Parses the arguments that follow the program name.
LaunchRequest parseCommandLine(const std::vector<std::string> &arguments);
// Parses main()'s arguments; argv[0] is the program name.
LaunchRequest parseCommandLine(int argc, const char *const *argv);

std::string usageText();
