// SPDX-License-Identifier: MIT
#pragma once

#include "actions/ActionOutcome.h"
#include "platform/Command.h"

// Runs the command to its end with the busy cursor shown: done, or failed when
// it cannot be started, with the busy cursor left on for the message.
[[nodiscard]] ActionOutcome RunAndWait(Platform &platform, const Command &command);
