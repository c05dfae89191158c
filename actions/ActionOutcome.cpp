// SPDX-License-Identifier: MIT
#include "actions/ActionOutcome.h"

#include "platform/Platform.h"

namespace {

std::string failureReason(const std::error_code &error)
{
    if (!error)
        return {};
    // Every name the actions create must be new; "File exists" says less.
    if (error == std::errc::file_exists)
        return "a file of that name is already there";
    return error.message();
}

} // namespace

ActionOutcome::ActionOutcome(Kind kind, std::string message, std::string reason)
    : m_kind(kind), m_message(std::move(message)), m_reason(std::move(reason))
{}

ActionOutcome ActionOutcome::returnedToWindow(std::string message)
{
    return {Kind::ReturnedToWindow, std::move(message), {}};
}

ActionOutcome ActionOutcome::done()
{
    return {Kind::Done, {}, {}};
}

ActionOutcome ActionOutcome::failed(std::string message, const std::error_code &error)
{
    return {Kind::Failed, std::move(message), failureReason(error)};
}

void finishAction(Platform &platform, const ActionOutcome &outcome)
{
    if (!outcome.message().empty())
        platform.showMessage(outcome.message(), outcome.reason());
    if (!outcome.returnsToWindow())
        platform.exitProcess(0);
}
