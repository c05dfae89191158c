// SPDX-License-Identifier: MIT
#include "tests/RecordingPlatform.h"

#include "actions/ActionOutcome.h"
#include "tests/ProcessEnd.h"

#include <cstdlib>

std::vector<std::string> RecordingPlatform::messages() const
{
    std::vector<std::string> result;
    for (const std::string &entry : log) {
        if (entry.rfind("message: ", 0) == 0)
            result.push_back(entry.substr(9));
    }
    return result;
}

void RecordingPlatform::showMessage(const std::string &text, const std::string &reason)
{
    for (const std::string &entry :
         outcomeLog({ActionOutcome::Kind::ReturnedToWindow, text, reason}))
        log.push_back(entry);
    m_recorded->showMessage(text, reason);
}

void RecordingPlatform::exitProcess(int status)
{
    log.push_back("exit: " + std::to_string(status));
    reportProcessEnd(log);
    m_recorded->exitProcess(status);
    std::abort(); // not reached: the compiler cannot see through the virtual call
}

std::vector<std::string> outcomeLog(const ActionOutcome &outcome)
{
    std::vector<std::string> lines;
    if (!outcome.message.empty())
        lines.push_back("message: " + outcome.message);
    if (!outcome.reason.empty())
        lines.push_back("reason: " + outcome.reason);
    if (outcome.kind != ActionOutcome::Kind::ReturnedToWindow)
        lines.push_back("exit: 0");
    return lines;
}
