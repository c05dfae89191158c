// SPDX-License-Identifier: MIT
#pragma once

#include "actions/ActionOutcome.h"
#include "actions/NavigatorCommands.h"

#include <optional>
#include <string>

// What a create action needs to know of the installation and the chosen platform.
struct ProjectSetup
{
    std::string rootDir;      // the installation root
    std::string navigatorExe; // the IDE's full path
    // The chosen platform's support-pack directory; none until the user chooses.
    std::optional<std::string> pack;
};

// What a create action comes to when no platform is chosen yet.
ActionOutcome platformNotChosen();

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
// existing file: done, or failed.
[[nodiscard]] ActionOutcome copyPackMakefile(Platform &platform, const ProjectSetup &setup,
                                             const std::string &projectDirectory);

// Has the IDE create the project file in batch mode, then open it: done once
// the IDE is closed, or failed when either run cannot be started.
[[nodiscard]] ActionOutcome createAndOpenProject(Platform &platform,
                                                 const std::string &navigatorExe,
                                                 BatchOptions options,
                                                 const std::string &projectFile);
