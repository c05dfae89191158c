// SPDX-License-Identifier: MIT
#include "OpenExistingProject.h"

#include "NavigatorCommands.h"
#include "Platform.h"
#include "RunAndWait.h"

void openExistingProject(Platform &platform, const std::string &navigatorExe)
{
    RunAndWait(platform, navigatorPlainStart(navigatorExe));
    platform.exitProcess(0);
}
