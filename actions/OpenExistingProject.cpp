// SPDX-License-Identifier: MIT
#include "actions/OpenExistingProject.h"

#include "actions/NavigatorCommands.h"
#include "actions/RunAndWait.h"

ActionOutcome openExistingProject(Platform &platform, const std::string &navigatorExe)
{
    return RunAndWait(platform, navigatorPlainStart(navigatorExe));
}
