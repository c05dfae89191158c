// SPDX-License-Identifier: MIT
#pragma once

#include "navigator/Result.h"

#include <optional>
#include <string>
#include <vector>

// The project file is line-based text; every line ends with '\n':
//
//   # quellix-navigator project 1
//   name=<project name>
//   source=<file name>
//   source=<file name>
//   ...
//
// The first line is the format tag. "name=" appears once: the project file's
// name without ".proj". Each "source=" names one source file relative to the
// project directory, in byte-wise order. Values are raw bytes (any encoding),
// except that a backslash is written "\\" and a newline "\n". When reading,
// empty lines and lines starting with '#' after the tag are ignored.

struct Project
{
    std::string name;
    std::vector<std::string> sources;
};

inline bool operator==(const Project &a, const Project &b)
{
    return a.name == b.name && a.sources == b.sources;
}

inline constexpr char projectFormatTag[] = "# quellix-navigator project 1";

std::string formatProject(const Project &project);

// A failure names the line it was found on, when there is one.
Result<Project> parseProject(const std::string &text);

// "dir/robot.proj" gives "robot"; a name without ".proj" is kept whole.
std::string projectNameForFile(const std::string &path);

// The project directory: "dir/robot.proj" gives "dir", "robot.proj" gives ".".
std::string projectDirectoryForFile(const std::string &path);
