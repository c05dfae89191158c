# SPDX-License-Identifier: MIT
# How m68k-upload loads an image onto the Palmor board through its boot monitor.
board=Palmor
monitor=68000
baud=9600
records=S2
flash=0x000000-0x01FFFF
