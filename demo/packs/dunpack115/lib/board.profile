# SPDX-License-Identifier: MIT
# How m68k-upload loads an image onto the Dunnet board through its boot monitor.
board=Dunnet
monitor=68000
baud=19200
records=S2
flash=0x400000-0x43FFFF
