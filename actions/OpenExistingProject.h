// SPDX-License-Identifier: MIT
#pragma once

#include "actions/ActionOutcome.h"

#include <string>

// Hands the user over to the IDE with no project named: done whatever the IDE
// did, or failed when it cannot be started.
[[nodiscard]] ActionOutcome openExistingProject(Platform &platform,
                                                const std::string &navigatorExe);
