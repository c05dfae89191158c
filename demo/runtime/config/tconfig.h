// SPDX-License-Identifier: MIT
/* Target configuration for libgcc2.c on the boards' 68000 and CPU32: a
 * freestanding target with no C library and no host side. */
#ifndef QUELLIX_TCONFIG_H
#define QUELLIX_TCONFIG_H
#define inhibit_libc 1
#endif
