// SPDX-License-Identifier: MIT
#pragma once

#include "actions/ProjectSetup.h"

// Asks for a new project directory, creates it with the platform's template C
// file (named after the directory) and Makefile, has the IDE create and open the
// project file, then ends the process with status 0. Returns only when the user
// cancels the dialog; every failure is reported and ends the process.
void createProjectFromTemplate(Platform &platform, const ProjectSetup &setup);
