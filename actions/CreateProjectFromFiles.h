// SPDX-License-Identifier: MIT
#pragma once

#include "actions/ProjectSetup.h"

// Asks for any one source file of an existing directory, copies the platform's
// Makefile into that directory, then has the IDE create and open the project
// file (named after the directory). Returns to the window when no platform is
// chosen or the user cancels the dialog.
[[nodiscard]] ActionOutcome createProjectFromFiles(Platform &platform, const ProjectSetup &setup);
