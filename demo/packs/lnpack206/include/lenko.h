/* Lenko Camera robot board: CPU32 core at 20 MHz, 1 MiB ROM at 0xA00000,
 * 512 KiB RAM at 0xC00000 (frame buffer included), peripherals at 0xFFE000.
 * Registers are 16 bits wide. */
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
