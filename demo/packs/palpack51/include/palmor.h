// SPDX-License-Identifier: MIT
/* Palmor robot board: 68000 at 8 MHz, 128 KiB ROM at 0x000000, 64 KiB RAM at
 * 0x100000, peripherals at 0xFFF000. Every register is 16 bits wide.
 *
 * Reset: the ROM is at address 0, where the 68000 reads its reset stack
 * pointer and program counter and, later, every exception vector: the table
 * at the start of ROM (lib/crt0.s). When main() returns, or on an exception
 * without a handler, the start-up code masks interrupts, sets both motors to
 * 0 and halts, feeding the watchdog so that the board stays stopped. */

/* Boot monitor (in a protected boot block; "make upload" talks to it): the
 * 68000 monitor, on the serial port at 9600 baud, 8 data bits, no parity, 1
 * stop bit, no flow control. It writes S1 and S2 records into the application
 * flash, 0x000000-0x01FFFF, and has no receive buffer: a character that
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

#ifndef PALMOR_H
#define PALMOR_H

#define PALMOR_IO_BASE 0x00FFF000UL
#define PALMOR_REG(offset) (*(volatile unsigned short *)(PALMOR_IO_BASE + (offset)))

/* Drive motors: signed speed, -1000 (full reverse) to 1000 (full ahead). */
#define PALMOR_MOTOR_LEFT PALMOR_REG(0x00)
#define PALMOR_MOTOR_RIGHT PALMOR_REG(0x02)

/* Eight LEDs along the front, one bit each, bit 0 leftmost. */
#define PALMOR_LEDS PALMOR_REG(0x10)

/* Front bumpers, read-only: a set bit is a pressed bumper. */
#define PALMOR_BUMPERS PALMOR_REG(0x20)
#define PALMOR_BUMPER_LEFT 0x0001
#define PALMOR_BUMPER_RIGHT 0x0002

/* Free-running millisecond counter, read-only. */
#define PALMOR_TIMER_MS PALMOR_REG(0x30)

/* Watchdog: write PALMOR_WATCHDOG_KICK at least every 100 ms. */
#define PALMOR_WATCHDOG PALMOR_REG(0x40)
#define PALMOR_WATCHDOG_KICK 0x5A5A

#endif
