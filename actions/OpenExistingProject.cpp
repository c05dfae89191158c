// SPDX-License-Identifier: MIT
#include "actions/OpenExistingProject.h"

#include "actions/NavigatorCommands.h"
#include "actions/RunAndWait.h"
#include "platform/Platform.h"

void openExistingProject(Platform &platform, const std::string &navigatorExe)
{
    RunAndWait(platform, navigatorPlainStart(navigatorExe));
    platform.exitProcess(0);
}
