// SPDX-License-Identifier: MIT
/* A string literal of odd length (9 bytes with its terminator), alone in its
 * file, so that read-only data ends on an odd address. */
#include "probe.h"

const char *probe_greeting(void)
{
    return "Hi robot";
}
