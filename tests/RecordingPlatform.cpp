// SPDX-License-Identifier: MIT
#include "tests/RecordingPlatform.h"

#include "actions/ActionOutcome.h"
#include "tests/ProcessEnd.h"

#include <cstdlib>

namespace {

// A message box in the log's words: its text, then its reason when it has one.
void logMessage(std::vector<std::string> &log, const std::string &text, const std::string &reason)
{
    log.push_back("message: " + text);
    if (!reason.empty())
        log.push_back("reason: " + reason);
}

} // namespace

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
    logMessage(log, text, reason);
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
        logMessage(lines, outcome.message, outcome.reason);
    if (outcome.kind != ActionOutcome::Kind::ReturnedToWindow)
        lines.push_back("exit: 0");
    return lines;
}
