// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <system_error>

// What a failed operation says to the user below its message: the system's own
// words, except where a plainer sentence fits every case of that error.
std::string failureReason(const std::error_code &error);
