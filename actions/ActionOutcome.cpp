// SPDX-License-Identifier: MIT
#include "actions/ActionOutcome.h"

#include "platform/Platform.h"

ActionOutcome ActionOutcome::failed(std::string message, const std::error_code &error)
{
    std::string reason = error ? error.message() : std::string();
    // Every name the actions create must be new; "File exists" says less.
    if (error == std::errc::file_exists)
        reason = "a file of that name is already there";
    return {Kind::Failed, std::move(message), std::move(reason)};
}

void finishAction(Platform &platform, const ActionOutcome &outcome)
{
    if (!outcome.message.empty())
        platform.showMessage(outcome.message, outcome.reason);
    if (outcome.kind != ActionOutcome::Kind::ReturnedToWindow)
        platform.exitProcess(0);
}
