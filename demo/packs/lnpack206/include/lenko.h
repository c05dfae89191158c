// SPDX-License-Identifier: MIT
/* Lenko Camera robot board: CPU32 core at 20 MHz, 1 MiB ROM at 0xA00000,
 * 512 KiB RAM at 0xC00000 (frame buffer included), peripherals at 0xFFE000.
 * Registers are 16 bits wide.
 *
 * Reset: right after a reset, the board also shows its ROM at address 0,
 * where the CPU32 reads its reset stack pointer and program counter from the
 * table at the start of ROM (lib/crt0.s). The start-up code then sets VBR to
 * 0xA00000, so exceptions never depend on what lies at 0 afterwards. Programs
 * use the RAM below the frame buffer; the stack lies above it. When main()
 * returns, or on an exception without a handler, the start-up code masks
 * interrupts, switches the capture LED off and halts; the pan and tilt servos
 * hold their positions. */

/* Boot monitor (in a protected boot block; "make upload" talks to it): the
 * CPU32 monitor, on the serial port at 115200 baud, 8 data bits, no parity, 1
 * stop bit, no flow control. It writes S1, S2 and S3 records into the
 * application flash, 0xA00000-0xAFFFFF, and has no receive buffer: a
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

#ifndef LENKO_H
#define LENKO_H

#define LENKO_IO_BASE 0x00FFE000UL
#define LENKO_REG(offset) (*(volatile unsigned short *)(LENKO_IO_BASE + (offset)))

/* Pan/tilt head, servo position 0 to 4095; 2048 is straight ahead. */
#define LENKO_PAN LENKO_REG(0x010)
#define LENKO_TILT LENKO_REG(0x012)
#define LENKO_CENTRE 2048

/* Capture: write LENKO_CAPTURE_START, then wait for LENKO_CAPTURE_DONE in the
 * status. The frame lands in the frame buffer, 160 x 120 pixels, 8 bits each. */
#define LENKO_CAPTURE_CONTROL LENKO_REG(0x100)
#define LENKO_CAPTURE_STATUS LENKO_REG(0x102)
#define LENKO_CAPTURE_START 0x0001
#define LENKO_CAPTURE_DONE 0x8000
#define LENKO_FRAME ((volatile unsigned char *)0x00C40000UL)
#define LENKO_FRAME_WIDTH 160
#define LENKO_FRAME_HEIGHT 120

/* Capture LED beside the lens: non-zero lights it. */
#define LENKO_CAPTURE_LED LENKO_REG(0x200)

/* Millisecond counter, read-only. */
#define LENKO_TIMER_MS LENKO_REG(0x300)

#endif
