// SPDX-License-Identifier: MIT
#include "RunAndWait.h"

#include "Platform.h"

void RunAndWait(Platform &platform, const Command &command)
{
    platform.setBusyCursor(true);
    if (!platform.startProcess(command)) {
        platform.showMessage("Impossible de lancer la commande " + command.displayText());
        platform.exitProcess(0);
    }
    platform.waitForProcess();
    platform.setBusyCursor(false);
}
