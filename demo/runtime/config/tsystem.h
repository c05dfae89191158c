// SPDX-License-Identifier: MIT
/* System headers for libgcc2.c on boards with no C library: the compiler's
 * freestanding headers only. */
#ifndef QUELLIX_TSYSTEM_H
#define QUELLIX_TSYSTEM_H
#include <float.h>
#include <limits.h>
#include <stddef.h>
#endif
