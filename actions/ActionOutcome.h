// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <system_error>

class Platform;

// How an action, or one of its steps, came out. Only a return to the window
// leaves the launcher running; a message is for the user either way.
class ActionOutcome
{
public:
    // The launcher goes on: the user cancelled, or must do something first,
    // which the message says.
    static ActionOutcome returnedToWindow(std::string message = {});
    // Done to its end; for a whole action, the launcher's work is over.
    static ActionOutcome done();
    // Could not go on: the message, with the error's reason below it when there
    // is one. The launcher's work is over.
    static ActionOutcome failed(std::string message, const std::error_code &error = {});

    bool returnsToWindow() const { return m_kind == Kind::ReturnedToWindow; }
    bool isFailure() const { return m_kind == Kind::Failed; }
    const std::string &message() const { return m_message; }
    // The system's words, or a plainer sentence where one fits every case.
    const std::string &reason() const { return m_reason; }

private:
    enum class Kind
    {
        ReturnedToWindow,
        Done,
        Failed
    };
    ActionOutcome(Kind kind, std::string message, std::string reason);

    Kind m_kind;
    std::string m_message;
    std::string m_reason;
};

// Shows the outcome's message, if any, then ends the process with status 0
// unless the action returned to the window.
void finishAction(Platform &platform, const ActionOutcome &outcome);
