// SPDX-License-Identifier: MIT
#pragma once

#include "actions/NavigatorCommands.h"

#include <optional>
#include <string>
#include <system_error>

class Platform;

// What a create action needs to know of the installation and the chosen platform.
struct ProjectSetup
{
    std::string rootDir;      // the installation root
    std::string navigatorExe; // the IDE's full path
    std::string pack;         // the chosen platform's support-pack directory
};

// A file of the chosen platform's examples: rootDir/pack/examples/fileName.
std::string packExample(const ProjectSetup &setup, const std::string &fileName);

// Where the create dialogs open: the installation root where the user may
// write, else (a packaged root) the home directory.
std::string dialogStartDirectory(const Platform &platform, const std::string &rootDir);

// Sets up the open-file dialog (start directory, options, filter, then the title
// that says what it asks for) and shows it; the confirmed path, or nothing when
// the user cancelled.
std::optional<std::string> chooseInDialog(Platform &platform, const std::string &title,
                                          const std::string &initialDir, const std::string &filter);

// Copies the platform's Makefile into the project directory, never over an
// existing file; a failure is reported and ends the process with status 0.
void copyPackMakefile(Platform &platform, const ProjectSetup &setup,
                      const std::string &projectDirectory);

// Shows the message, with the error's reason below it when there is one, then
// ends the process with status 0.
void reportAndEnd(Platform &platform, const std::string &message,
                  const std::error_code &error = {});

// Has the IDE create the project file in batch mode, then open it; ends the
// process with status 0 once the IDE is closed.
void createAndOpenProject(Platform &platform, const std::string &navigatorExe, BatchOptions options,
                          const std::string &projectFile);
