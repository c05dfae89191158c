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

/* Boot monitor (in a protected boot block; "make upload" talks to it): the
 * 68000 monitor, on the serial port at 19200 baud, 8 data bits, no parity, 1
 * stop bit, no flow control. It writes S1 and S2 records into the application
 * flash, 0x400000-0x43FFFF, and has no receive buffer: a character that
 * arrives before it acknowledges a record is lost.
 *   - At its prompt "> ", a CR alone is answered "\r\n> "; any other line is
 *     echoed, then "?\r\n> "; "LO" and CR is echoed ("LO\r\n") and starts a
 *     load.
 *   - In a load: one record a line, ended by CR (LF ignored), at most 78
 *     characters before the CR. S1 and S2 are stored; S8 or S9 ends the load;
 *     S0, S3 and S7 are ignored silently. Storing takes 5 ms after the CR, then
 *     it answers "." (not for the end record).
 *   - A bad record is answered, instead of ".", "\r\nCHKSUM n\r\n" (hex,
 *     count or checksum wrong), "\r\nLINE n\r\n" (not a record, or too long),
 *     "\r\nADDR n\r\n" (outside the flash) or "\r\nOVERRUN n\r\n" (characters
 *     lost), n counting the load's lines from 1; the load goes on.
 *   - At the end record: "\r\nLOADED hhhhhh\r\n> " (the entry address), or
 *     "\r\nERROR\r\n> " if any record was bad.
 *   - After 5 s without a character in a load: "\r\nTIMEOUT\r\n> ". */

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
