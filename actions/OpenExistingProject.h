// SPDX-License-Identifier: MIT
#pragma once

#include <string>

class Platform;

// Hands the user over to the IDE with no project named, then ends the process
// with status 0 whatever the IDE did. Does not return.
void openExistingProject(Platform &platform, const std::string &navigatorExe);
