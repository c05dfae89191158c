// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <system_error>

class Platform;

// How an action, or one of its steps, came out. Only a return to the window
// leaves the launcher running; a message is for the user either way.
struct ActionOutcome
{
    enum class Kind
    {
        ReturnedToWindow, // the user cancelled, or must do first what the message says
        Done,             // done to its end
        Failed            // could not go on, for the reason below the message
    };
    Kind kind = Kind::Done;
    std::string message;
    std::string reason; // the system's words, or a plainer sentence where one fits

    static ActionOutcome returnedToWindow(std::string message = {})
    {
        return {Kind::ReturnedToWindow, std::move(message), {}};
    }
    static ActionOutcome failed(std::string message, const std::error_code &error = {});
    bool isFailure() const { return kind == Kind::Failed; }
};

// Shows the outcome's message, if any, then ends the process with status 0
// unless the action returned to the window.
void finishAction(Platform &platform, const ActionOutcome &outcome);
