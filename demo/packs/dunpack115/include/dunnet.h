// SPDX-License-Identifier: MIT
/* Dunnet robot board: 68000 at 12 MHz, 256 KiB ROM at 0x400000, 128 KiB RAM
 * at 0x200000, peripherals at 0xE00000. Every register is 16 bits wide.
 *
 * Reset: the board shows the first 1 KiB of ROM at address 0 as well as at
 * 0x400000, from reset on. The 68000 has no vector base register: it reads its
 * reset stack pointer and program counter and every exception vector there,
 * from the table at the start of ROM (lib/crt0.s). When main() returns, or on
 * an exception without a handler, the start-up code masks interrupts, sets
 * both tracks to 0 and halts; the gripper keeps its position. */
#ifndef DUNNET_H
#define DUNNET_H

#define DUNNET_IO_BASE 0x00E00000UL
#define DUNNET_REG(offset) (*(volatile unsigned short *)(DUNNET_IO_BASE + (offset)))

/* Track motors: signed speed, -512 to 511. */
#define DUNNET_TRACK_LEFT DUNNET_REG(0x000)
#define DUNNET_TRACK_RIGHT DUNNET_REG(0x002)

/* Gripper servo: position 0 (open) to 1023 (closed). */
#define DUNNET_GRIPPER DUNNET_REG(0x010)
#define DUNNET_GRIPPER_OPEN 0
#define DUNNET_GRIPPER_CLOSED 1023

/* Object sensor between the gripper's jaws, read-only: non-zero when blocked. */
#define DUNNET_JAW_SENSOR DUNNET_REG(0x012)

/* Status LED bar, ten LEDs, one bit each. */
#define DUNNET_LED_BAR DUNNET_REG(0x100)

/* Tick counter, read-only, incremented every 10 ms. */
#define DUNNET_TICKS DUNNET_REG(0x200)

#endif
