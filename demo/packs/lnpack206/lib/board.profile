# SPDX-License-Identifier: MIT
# How m68k-upload loads an image onto the Lenko Camera board through its boot monitor.
board=Lenko Camera
monitor=cpu32
baud=115200
records=S3
flash=0xA00000-0xAFFFFF
