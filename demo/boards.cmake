# SPDX-License-Identifier: MIT
# The boards of the support packs: what their start-up code and Makefiles are
# generated from (demo/pack-template). QUELLIX_PACKS lists the packs; for each
# pack P, board_P_<field> holds a field. Text fields are lines of assembly or of
# "| " comments, pasted into crt0.s as they are.

include("${CMAKE_CURRENT_LIST_DIR}/memory-map.cmake")

set(QUELLIX_PACKS palpack51 dunpack115 vespack113 lnpack206)

# What a CPU family changes in the start-up code.
set(cpu_m68000_name "68000")
set(cpu_m68000_monitor 68000)
set(cpu_m68000_records S2)
set(cpu_m68000_flag "-m68000")
# The boot monitor as the board's header describes it.
set(cpu_m68000_monitor_comment [=[
/* Boot monitor (in a protected boot block; "make upload" talks to it): the
 * 68000 monitor, on the serial port at @BAUD@ baud, 8 data bits, no parity, 1
 * stop bit, no flow control. It writes S1 and S2 records into the application
 * flash, @FLASH@, and has no receive buffer: a character that
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
 *   - After 5 s without a character in a load: "\r\nTIMEOUT\r\n> ". */]=])
set(cpu_m68000_vector_default "__vector_stubs + (\\number - 2) * 4")
set(cpu_m68000_vector_default_comment [=[
| __attribute__((interrupt)); extern "C" in C++), otherwise to a stub of its
| own that tells __unhandled_exception which vector was taken (the 68000's
| exception frame does not say).]=])
set(cpu_m68000_vector_stubs [=[

| One stub per vector 2-255, 4 bytes each: the return address it pushes tells
| __unhandled_exception which vector was taken.
__vector_stubs:
        .rept   254
        bsr.w   __unhandled_exception
        .endr
]=])
set(cpu_m68000_exception_frame_code [=[
        move.l  (%sp)+, %d0
        sub.l   #__vector_stubs, %d0
        lsr.l   #2, %d0
        addq.l  #1, %d0
        move.w  %d0, __exception_vector
        | Bus and address errors (vectors 2 and 3) push 4 more words first.
        cmp.w   #3, %d0
        bhi.s   1f
        addq.l  #8, %sp
1:      move.w  (%sp), __exception_sr
        move.l  2(%sp), __exception_pc]=])

set(cpu_cpu32_name "CPU32")
set(cpu_cpu32_monitor cpu32)
set(cpu_cpu32_records S3)
set(cpu_cpu32_flag "-mcpu=cpu32")
set(cpu_cpu32_monitor_comment [=[
/* Boot monitor (in a protected boot block; "make upload" talks to it): the
 * CPU32 monitor, on the serial port at @BAUD@ baud, 8 data bits, no parity, 1
 * stop bit, no flow control. It writes S1, S2 and S3 records into the
 * application flash, @FLASH@, and has no receive buffer: a
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
 *     a character in a load: "\r\nTIMEOUT\r\n> ". */]=])
set(cpu_cpu32_vector_default "__unhandled_exception")
set(cpu_cpu32_vector_default_comment [=[
| __attribute__((interrupt)); extern "C" in C++), otherwise to
| __unhandled_exception (the exception frame holds the vector's number).]=])
set(cpu_cpu32_vector_stubs "")
set(cpu_cpu32_exception_frame_code [=[
        | The frame: status register, program counter, then format and vector
        | offset (the vector's number times 4) in one word.
        move.w  6(%sp), %d0
        and.w   #0x0FFF, %d0
        lsr.w   #2, %d0
        move.w  %d0, __exception_vector
        move.w  (%sp), __exception_sr
        move.l  2(%sp), __exception_pc]=])
set(cpu_cpu32_map_reset_comment [=[
 * The board shows its ROM at address 0 during reset, where the CPU32 reads its
 * reset vectors; crt0.s then points VBR at the table at @ROM_START@.]=])
set(cpu_cpu32_start_code [=[
        lea     __vectors, %a0
        movec   %a0, %vbr
]=])
set(cpu_cpu32_first_step
    "masks interrupts again (for a jump to _start from a debugger) and points\n|      VBR at the vector table, so that no exception depends on address 0;")
set(halt_by_stopping [=[
        .globl  __board_halted
__board_halted:
1:      stop    #0x2700
        bra.s   1b]=])
set(stop_comment_halt_tail
    "then __board_halted, where the CPU stops until a reset (an interrupt of level\n| 7, which cannot be masked, leads back to it through __unhandled_exception).")

set(board_palpack51_name "Palmor")
set(board_palpack51_cpu m68000)
set(board_palpack51_memory_map palmor.ld)
set(board_palpack51_baud 9600)
set(board_palpack51_rom 0x00000000 128K)
set(board_palpack51_ram 0x00100000 64K)
set(board_palpack51_stack_size 4K)
set(board_palpack51_map_reset_comment [=[
 * The ROM is at address 0, where the 68000 reads its reset and exception
 * vectors.]=])
set(board_palpack51_reset_comment [=[
| At reset the 68000 reads its stack pointer and program counter from the first
| two vectors, at address 0, where this board's ROM lies; interrupts are masked.]=])
set(board_palpack51_first_step
    "masks interrupts again (for a jump to _start from a debugger) and feeds\n|      the watchdog, which must be fed every 100 ms;")
set(board_palpack51_equates [=[
        .equ    MOTOR_LEFT, 0x00FFF000
        .equ    MOTOR_RIGHT, 0x00FFF002
        .equ    WATCHDOG, 0x00FFF040
        .equ    WATCHDOG_KICK, 0x5A5A]=])
set(board_palpack51_start_code [=[
        move.w  #WATCHDOG_KICK, WATCHDOG
]=])
set(board_palpack51_after_bss_code [=[
        move.w  #WATCHDOG_KICK, WATCHDOG]=])
set(board_palpack51_stop_comment [=[
| Stopping the board (__board_stop): interrupts masked, both motors at speed 0,
| then __board_halted, which feeds the watchdog for ever, so that the board
| stays stopped instead of being reset into the program again.]=])
set(board_palpack51_stop_code [=[
        clr.w   MOTOR_LEFT
        clr.w   MOTOR_RIGHT]=])
set(board_palpack51_halt_loop [=[
1:      move.w  #WATCHDOG_KICK, WATCHDOG
        .globl  __board_halted
__board_halted:
        bra.s   1b]=])

set(board_dunpack115_name "Dunnet")
set(board_dunpack115_cpu m68000)
set(board_dunpack115_memory_map dunnet.ld)
set(board_dunpack115_baud 19200)
set(board_dunpack115_rom 0x00400000 256K)
set(board_dunpack115_ram 0x00200000 128K)
set(board_dunpack115_stack_size 4K)
set(board_dunpack115_map_reset_comment [=[
 * The board shows the first 1K of ROM, the vector table, at address 0 as well,
 * where the 68000 reads its reset and exception vectors.]=])
set(board_dunpack115_reset_comment [=[
| At reset the 68000 reads its stack pointer and program counter from the first
| two vectors, at address 0, where the board shows the first 1K of its ROM (see
| dunnet.h): the vector table below, linked at @ROM_START@. Interrupts are masked.]=])
set(board_dunpack115_first_step "masks interrupts again (for a jump to _start from a debugger);")
set(board_dunpack115_equates [=[
        .equ    TRACK_LEFT, 0x00E00000
        .equ    TRACK_RIGHT, 0x00E00002]=])
set(board_dunpack115_start_code "")
set(board_dunpack115_after_bss_code "")
set(board_dunpack115_stop_comment
    "| Stopping the board (__board_stop): interrupts masked, both tracks at speed 0,\n| ${stop_comment_halt_tail}")
set(board_dunpack115_stop_code [=[
        clr.w   TRACK_LEFT
        clr.w   TRACK_RIGHT]=])
set(board_dunpack115_halt_loop "${halt_by_stopping}")

set(board_vespack113_name "Vessik")
set(board_vespack113_cpu cpu32)
set(board_vespack113_memory_map vessik.ld)
set(board_vespack113_baud 115200)
set(board_vespack113_rom 0x00040000 256K)
set(board_vespack113_ram 0x00300000 32K)
set(board_vespack113_stack_size 2K)
set(board_vespack113_reset_comment [=[
| At reset the CPU32 reads its stack pointer and program counter from the first
| two vectors, at address 0, where the board shows its ROM during reset (see
| vessik.h): the vector table below, linked at @ROM_START@. Interrupts are masked.]=])
set(board_vespack113_first_step "${cpu_cpu32_first_step}")
set(board_vespack113_equates [=[
        .equ    WHEELS_LEFT, 0x00FFF100
        .equ    WHEELS_RIGHT, 0x00FFF102
        .equ    PULSE_STOP, 1500]=])
set(board_vespack113_start_code "${cpu_cpu32_start_code}")
set(board_vespack113_after_bss_code "")
set(board_vespack113_stop_comment [=[
| Stopping the board (__board_stop): interrupts masked, both wheels at the stop
| pulse (1500 us), then __board_halted, where the CPU stops until a reset (an
| interrupt of level 7, which cannot be masked, leads back to it through
| __unhandled_exception).]=])
set(board_vespack113_stop_code [=[
        move.w  #PULSE_STOP, WHEELS_LEFT
        move.w  #PULSE_STOP, WHEELS_RIGHT]=])
set(board_vespack113_halt_loop "${halt_by_stopping}")

set(board_lnpack206_name "Lenko Camera")
set(board_lnpack206_cpu cpu32)
set(board_lnpack206_memory_map lenko.ld)
set(board_lnpack206_baud 115200)
set(board_lnpack206_rom 0x00A00000 1M)
# The frame buffer (origin, width, height) splits the RAM: the program below, the
# stack above.
set(board_lnpack206_ram 0x00C00000 512K)
set(board_lnpack206_frame_buffer 0x00C40000 160 120)
set(board_lnpack206_stack_size 4K)
set(board_lnpack206_reset_comment [=[
| At reset the CPU32 reads its stack pointer and program counter from the first
| two vectors, at address 0, where the board shows its ROM during reset (see
| lenko.h): the vector table below, linked at @ROM_START@. Interrupts are masked.]=])
set(board_lnpack206_first_step "${cpu_cpu32_first_step}")
set(board_lnpack206_equates [=[
        .equ    CAPTURE_LED, 0x00FFE200]=])
set(board_lnpack206_start_code "${cpu_cpu32_start_code}")
set(board_lnpack206_after_bss_code "")
set(board_lnpack206_stop_comment [=[
| Stopping the board (__board_stop): interrupts masked, the capture LED off
| (the pan and tilt servos hold their positions), then __board_halted, where
| the CPU stops until a reset (an interrupt of level 7, which cannot be masked,
| leads back to it through __unhandled_exception).]=])
set(board_lnpack206_stop_code [=[
        clr.w   CAPTURE_LED]=])
set(board_lnpack206_halt_loop "${halt_by_stopping}")

# Writes the start-up code, the Makefile and the boot monitor's profile of
# pack P into DIRECTORY/P.
function(quellix_generate_pack_files pack directory)
    set(cpu "${board_${pack}_cpu}")
    set(BOARD "${board_${pack}_name}")
    set(PACK "${pack}")
    set(CPU_NAME "${cpu_${cpu}_name}")
    set(CPU_FLAG "${cpu_${cpu}_flag}")
    set(CPU_DIRECTORY "${cpu}")
    set(MEMORY_MAP "${board_${pack}_memory_map}")
    string(REGEX REPLACE "\\.ld$" ".h" HEADER "${MEMORY_MAP}")
    quellix_memory_map(${pack})
    string(CONFIGURE "${board_${pack}_reset_comment}" RESET_COMMENT @ONLY)
    set(FIRST_STEP "${board_${pack}_first_step}")
    set(STOP_COMMENT "${board_${pack}_stop_comment}")
    set(EQUATES "${board_${pack}_equates}")
    set(VECTOR_DEFAULT "${cpu_${cpu}_vector_default}")
    set(VECTOR_DEFAULT_COMMENT "${cpu_${cpu}_vector_default_comment}")
    set(VECTOR_STUBS "${cpu_${cpu}_vector_stubs}")
    set(EXCEPTION_FRAME_CODE "${cpu_${cpu}_exception_frame_code}")
    set(START_CODE "${board_${pack}_start_code}")
    set(AFTER_BSS_CODE "${board_${pack}_after_bss_code}")
    set(STOP_CODE "${board_${pack}_stop_code}")
    set(HALT_LOOP "${board_${pack}_halt_loop}")
    set(template "${PROJECT_SOURCE_DIR}/demo/pack-template")
    configure_file("${template}/crt0.s.in" "${directory}/${pack}/lib/crt0.s" @ONLY)
    configure_file("${template}/Makefile.in" "${directory}/${pack}/examples/Makefile" @ONLY)
    configure_file("${template}/memory-map.ld.in" "${directory}/${pack}/lib/${MEMORY_MAP}" @ONLY)
    set(BAUD "${board_${pack}_baud}")
    string(CONFIGURE "${cpu_${cpu}_monitor_comment}" MONITOR_COMMENT @ONLY)
    configure_file("${template}/headers/${HEADER}.in"
        "${directory}/${pack}/include/${HEADER}" @ONLY)
    file(CONFIGURE OUTPUT "${directory}/${pack}/lib/board.profile" CONTENT
"# How m68k-upload loads an image onto the ${BOARD} board through its boot
# monitor (see include/${HEADER}).
board=${BOARD}
monitor=${cpu_${cpu}_monitor}
baud=${board_${pack}_baud}
records=${cpu_${cpu}_records}
flash=${FLASH}
" @ONLY)
endfunction()

# Writes what the launcher and the tests take from the table: OUTPUT_HEADER, a
# C++ header with the boards in order (name, pack, CPU directory, ROM and RAM
# origin and size), and OUTPUT_SCRIPT, a bash file with the arrays
# quellix_boards ("name|pack|memory map|header|CPU flag|CPU directory") and
# quellix_packs.
function(quellix_write_board_lists output_header output_script)
    set(entries "")
    set(lines "")
    foreach(pack IN LISTS QUELLIX_PACKS)
        quellix_memory_map(${pack})
        set(cpu "${board_${pack}_cpu}")
        set(map "${board_${pack}_memory_map}")
        string(REGEX REPLACE "\\.ld$" ".h" header "${map}")
        list(GET board_${pack}_rom 0 rom_origin)
        list(GET board_${pack}_ram 0 ram_origin)
        quellix_bytes("${ROM_LENGTH}" rom_size)
        list(GET board_${pack}_ram 1 ram_length)
        quellix_bytes("${ram_length}" ram_size)
        string(APPEND entries "    {\"${board_${pack}_name}\", \"${pack}\", \"${cpu}\", "
            "${rom_origin}, ${rom_size}, ${ram_origin}, ${ram_size}},\n")
        string(APPEND lines "    \"${board_${pack}_name}|${pack}|${map}|${header}|"
            "${cpu_${cpu}_flag}|${cpu}\"\n")
    endforeach()
    list(LENGTH QUELLIX_PACKS count)
    list(JOIN QUELLIX_PACKS " " packs)
    file(CONFIGURE OUTPUT "${output_header}" CONTENT "// Generated from demo/boards.cmake.
#pragma once

#include <array>
#include <cstdint>

struct BoardEntry
{
    const char *name, *pack, *cpu;
    std::uint32_t romOrigin, romSize, ramOrigin, ramSize;
};

constexpr std::array<BoardEntry, ${count}> Boards{{
${entries}}};
")
    file(CONFIGURE OUTPUT "${output_script}" CONTENT "# Generated from demo/boards.cmake.
# shellcheck disable=SC2034 # read by the scripts that source this file
quellix_boards=(
${lines})
quellix_packs=(${packs})
")
endfunction()
