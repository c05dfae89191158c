// SPDX-License-Identifier: MIT
#include "actions/ActionOutcome.h"

#include "platform/Platform.h"

ActionOutcome ActionOutcome::failed(std::string message, const std::error_code &error)
{
    // Every name the actions create must be new; "File exists" says less.
    const bool exists = error == std::errc::file_exists;
    return {Kind::Failed, std::move(message),
            exists  ? "a file of that name is already there"
            : error ? error.message()
                    : ""};
}

void finishAction(Platform &platform, const ActionOutcome &outcome)
{
    if (!outcome.message.empty())
        platform.showMessage(outcome.message, outcome.reason);
    if (outcome.kind != ActionOutcome::Kind::ReturnedToWindow)
        platform.exitProcess(0);
}
