// SPDX-License-Identifier: MIT
#pragma once

#include "actions/ProjectSetup.h"

// Asks for a new project directory, creates it with the platform's template C
// file (named after the directory) and Makefile, then has the IDE create and
// open the project file. Returns to the window when no platform is chosen or
// the user cancels the dialog.
[[nodiscard]] ActionOutcome createProjectFromTemplate(Platform &platform,
                                                      const ProjectSetup &setup);
