// SPDX-License-Identifier: MIT
#pragma once

#include "actions/ProjectSetup.h"

// Asks for any one source file of an existing directory, copies the platform's
// Makefile into that directory, has the IDE create and open the project file
// (named after the directory), then ends the process with status 0. Returns only
// when the user cancels the dialog; every failure is reported and ends the process.
void createProjectFromFiles(Platform &platform, const ProjectSetup &setup);
