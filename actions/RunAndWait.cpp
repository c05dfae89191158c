// SPDX-License-Identifier: MIT
#include "actions/RunAndWait.h"

#include "actions/FailureReason.h"
#include "platform/Platform.h"

void RunAndWait(Platform &platform, const Command &command)
{
    platform.setBusyCursor(true);
    if (const std::error_code error = platform.startProcess(command)) {
        platform.showMessage("Impossible de lancer la commande " + command.displayText(),
                             failureReason(error));
        platform.exitProcess(0);
    }
    platform.waitForProcess();
    platform.setBusyCursor(false);
}
