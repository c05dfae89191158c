# SPDX-License-Identifier: MIT
# How m68k-upload loads an image onto the Vessik board through its boot monitor.
board=Vessik
monitor=cpu32
baud=115200
records=S3
flash=0x040000-0x07FFFF
