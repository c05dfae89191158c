#pragma once

#include "ProjectFormat.h"

#include <string>

// Creates the project file at path, listing the source files of its directory.
// Anything already at path (file, directory, link, dangling link) is left
// untouched and reported; a write that fails part-way removes the new file.
// Returns an empty string on success, otherwise a message naming the path.
std::string createProjectFile(const std::string &path);

struct ProjectRead
{
    std::optional<Project> project;
    std::string error; // set when project is empty
};

// Reads a project file; never blocks on a FIFO or device.
ProjectRead readProjectFile(const std::string &path);
