// SPDX-License-Identifier: MIT
/* Vessik robot board: CPU32 core at 16 MHz, 256 KiB flash at 0x040000, 32 KiB
 * RAM at 0x300000, peripherals at 0xFFF000. Registers are 16 bits wide.
 *
 * Reset: right after a reset, the board also shows its ROM at address 0,
 * where the CPU32 reads its reset stack pointer and program counter from the
 * table at the start of ROM (lib/crt0.s). The start-up code then sets VBR to
 * 0x040000, so exceptions never depend on what lies at 0 afterwards. When
 * main() returns, or on an exception without a handler, the start-up code
 * masks interrupts, sets both wheels to the stop pulse and halts. */

/* Boot monitor (in a protected boot block; "make upload" talks to it): the
 * CPU32 monitor, on the serial port at 115200 baud, 8 data bits, no parity, 1
 * stop bit, no flow control. It writes S1, S2 and S3 records into the
 * application flash, 0x040000-0x07FFFF, and has no receive buffer: a
 * character that arrives before it acknowledges a record is lost.
 *   - Prompt "> " and "LO" as on the 68000 boards; after the echo of "LO" it
 *     sends "Ready\r\n".
 *   - In a load: S1, S2 and S3 are stored, S0 ignored; S7, S8 or S9 ends the
 *     load. Storing takes 1 ms after the CR, then it answers "O" (not for the
 *     end record).
 *   - A bad record is answered "\r\nBad checksum.\r\n", "\r\nBad record.\r\n",
 *     "\r\nBad address.\r\n" or "\r\nOverrun.\r\n"; the monitor then ignores
 *     everything until ESC (0x1B), which it answers with "\r\n> ".
 *   - At the end record: "\r\nLoaded, entry hhhhhhhh\r\n> ". After 5 s without
 *     a character in a load: "\r\nTIMEOUT\r\n> ". */

#ifndef VESSIK_H
#define VESSIK_H

#define VESSIK_IO_BASE 0x00FFF000UL
#define VESSIK_REG(offset) (*(volatile unsigned short *)(VESSIK_IO_BASE + (offset)))

/* Wheel motors, pulse width in microseconds: 1000 reverse, 1500 stop, 2000 ahead. */
#define VESSIK_WHEELS_LEFT VESSIK_REG(0x100)
#define VESSIK_WHEELS_RIGHT VESSIK_REG(0x102)
#define VESSIK_PULSE_STOP 1500

/* Line sensors under the front, read-only: bit 0 left, bit 1 centre, bit 2 right. */
#define VESSIK_LINE VESSIK_REG(0x200)
#define VESSIK_LINE_LEFT 0x0001
#define VESSIK_LINE_CENTRE 0x0002
#define VESSIK_LINE_RIGHT 0x0004

/* Signal LEDs: bit 0 left indicator, bit 1 right indicator, bit 2 brake light. */
#define VESSIK_SIGNALS VESSIK_REG(0x300)

/* Periodic interrupt timer count, read-only, 1 kHz. */
#define VESSIK_PIT_COUNT VESSIK_REG(0xA24)

#endif
