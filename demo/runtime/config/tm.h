// SPDX-License-Identifier: MIT
/* Target machine description for libgcc2.c: the 68000 and the CPU32 have
 * 32-bit words, 16-bit-aligned; long long is two words. */
#ifndef QUELLIX_TM_H
#define QUELLIX_TM_H
#define MIN_UNITS_PER_WORD 4
#define LIBGCC2_UNITS_PER_WORD 4
#endif
