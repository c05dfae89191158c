// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Command.h"

class Platform;

// Runs the command to its end with the busy cursor shown. When it cannot be
// started, says so and ends the process with status 0: the call does not return.
void RunAndWait(Platform &platform, const Command &command);
