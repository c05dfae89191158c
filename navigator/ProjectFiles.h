// SPDX-License-Identifier: MIT
#pragma once

#include "navigator/ProjectFormat.h"

#include <string>

// Creates the project file at path, listing the source files of its directory.
// Anything already at path (file, directory, link, dangling link) is left
// untouched and reported; a write that fails part-way removes the new file.
// A failure's message names the path.
Result<Done> createProjectFile(const std::string &path);

// Reads a project file; never blocks on a FIFO or device. A failure's message
// names the path; for a malformed file, its line is the one at fault.
Result<Project> readProjectFile(const std::string &path);

// The absolute path of path with every link resolved, or an empty string when
// it does not exist or cannot be reached.
std::string canonicalPath(const std::string &path);

// True when path lies below directory once both are resolved with
// canonicalPath(): ".." and links cannot lead out unnoticed.
bool isInsideDirectory(const std::string &path, const std::string &directory);

// The S-record image that a pack's Makefile writes in directory: named after
// the directory as make's shell sees it, "<dir>/<dir name>.s37", in canonical
// form. Empty when the directory cannot be resolved or has no name ("/").
std::string imageFileForDirectory(const std::string &directory);
