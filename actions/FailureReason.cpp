// SPDX-License-Identifier: MIT
#include "actions/FailureReason.h"

std::string failureReason(const std::error_code &error)
{
    // Every name the actions create must be new; "File exists" says less.
    if (error == std::errc::file_exists)
        return "a file of that name is already there";
    return error.message();
}
