// SPDX-License-Identifier: MIT
#include "actions/RunAndWait.h"

#include "platform/Platform.h"

ActionOutcome RunAndWait(Platform &platform, const Command &command)
{
    platform.setBusyCursor(true);
    if (const std::error_code error = platform.startProcess(command))
        return ActionOutcome::failed("Impossible de lancer la commande " + command.displayText(),
                                     error);
    platform.waitForProcess();
    platform.setBusyCursor(false);
    return {};
}
