| SPDX-License-Identifier: MIT
| Start-up code for Palmor boards (68000).
|
| At reset the 68000 reads its stack pointer and program counter from the first
| two vectors, at address 0, where this board's ROM lies; interrupts are masked.
| _start then:
|   1. masks interrupts again (for a jump to _start from a debugger) and feeds
|      the watchdog, which must be fed every 100 ms;
|   2. copies .data and .got from ROM to RAM;
|   3. clears .bss;
|   4. runs the constructors (.preinit_array, .init_array: C++ globals and
|      __attribute__((constructor)) functions);
|   5. calls main(), with interrupts still masked: main() unmasks them when its
|      handlers are ready;
|   6. if main() returns, runs the destructors (those registered with
|      __cxa_atexit, last first, then .fini_array) and stops the board.
|
| Stopping the board (__board_stop): interrupts masked, both motors at speed 0,
| then __board_halted, which feeds the watchdog for ever, so that the board
| stays stopped instead of being reset into the program again.
|
| Every exception that the program does not handle itself (see the vector
| table) leads to __unhandled_exception, which records the vector number, status
| register and program counter of the exception in __exception_vector,
| __exception_sr and __exception_pc, then stops the board the same way. A
| debugger can break on __unhandled_exception.

        .equ    MOTOR_LEFT, 0x00FFF000
        .equ    MOTOR_RIGHT, 0x00FFF002
        .equ    WATCHDOG, 0x00FFF040
        .equ    WATCHDOG_KICK, 0x5A5A
        .equ    ATEXIT_MAX, 32

| The vector table, at the start of ROM: the reset stack pointer and program
| counter, then vectors 2-255. Vector N leads to vector_handler_N when the
| program defines one (in C, void vector_handler_N(void)
| __attribute__((interrupt)); extern "C" in C++), otherwise to a stub of its
| own that tells __unhandled_exception which vector was taken (the 68000's
| exception frame does not say).
        .macro  vector_entry number
        .weak   vector_handler_\number
        .set    vector_handler_\number, __vector_stubs + (\number - 2) * 4
        .long   vector_handler_\number
        .endm

        .section .vectors, "a"
        .long   __stack_top
        .long   _start
        .altmacro
        .set    vector, 2
        .rept   254
        vector_entry %vector
        .set    vector, vector + 1
        .endr
        .noaltmacro

        .text
        .globl  _start
        .type   _start, @function
_start:
        move.w  #0x2700, %sr
        move.w  #WATCHDOG_KICK, WATCHDOG

        | .data and .got: from __data_load in ROM to [__data_start, __data_end).
        lea     __data_load, %a0
        lea     __data_start, %a1
        lea     __data_end, %a2
1:      cmp.l   %a2, %a1
        bcc.s   2f
        move.l  (%a0)+, (%a1)+
        bra.s   1b

        | .bss: [__bss_start, __bss_end) cleared.
2:      lea     __bss_start, %a1
        lea     __bss_end, %a2
3:      cmp.l   %a2, %a1
        bcc.s   4f
        clr.l   (%a1)+
        bra.s   3b
4:      move.w  #WATCHDOG_KICK, WATCHDOG

        | Constructors, in table order. RAM is ready: a debugger can check it here.
__run_constructors:
        lea     __init_array_start, %a2
5:      cmp.l   #__init_array_end, %a2
        bcc.s   6f
        move.l  (%a2)+, %a0
        jsr     (%a0)
        bra.s   5b

6:      jsr     main
        jsr     __run_destructors
        bra     __board_stop
        .size   _start, . - _start

| Destructors: those registered with __cxa_atexit, last registered first, then
| .fini_array from its end.
        .type   __run_destructors, @function
__run_destructors:
        move.l  %a2, -(%sp)
1:      move.l  __atexit_count, %d0
        beq.s   2f
        subq.l  #1, %d0
        move.l  %d0, __atexit_count
        lsl.l   #3, %d0
        lea     __atexit_table, %a0
        move.l  4(%a0,%d0.l), -(%sp)
        move.l  0(%a0,%d0.l), %a0
        jsr     (%a0)
        addq.l  #4, %sp
        bra.s   1b
2:      lea     __fini_array_end, %a2
3:      cmp.l   #__fini_array_start, %a2
        bls.s   4f
        move.l  -(%a2), %a0
        jsr     (%a0)
        bra.s   3b
4:      move.l  (%sp)+, %a2
        rts
        .size   __run_destructors, . - __run_destructors

| int __cxa_atexit(void (*destructor)(void *), void *object, void *dso):
| registers a destructor of a C++ global, run when main() returns. Gives 0, or
| -1 when the table is full.
        .globl  __cxa_atexit
        .type   __cxa_atexit, @function
__cxa_atexit:
        move.l  __atexit_count, %d0
        cmp.l   #ATEXIT_MAX, %d0
        bcc.s   1f
        lsl.l   #3, %d0
        lea     __atexit_table, %a0
        move.l  4(%sp), 0(%a0,%d0.l)
        move.l  8(%sp), 4(%a0,%d0.l)
        addq.l  #1, __atexit_count
        moveq   #0, %d0
        rts
1:      moveq   #-1, %d0
        rts
        .size   __cxa_atexit, . - __cxa_atexit

| One stub per vector 2-255, 4 bytes each: the return address it pushes tells
| __unhandled_exception which vector was taken.
__vector_stubs:
        .rept   254
        bsr.w   __unhandled_exception
        .endr

        .globl  __unhandled_exception
        .type   __unhandled_exception, @function
__unhandled_exception:
        move.w  #0x2700, %sr
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
        move.l  2(%sp), __exception_pc
        | Fall through to __board_stop.

        .globl  __board_stop
        .type   __board_stop, @function
__board_stop:
        move.w  #0x2700, %sr
        clr.w   MOTOR_LEFT
        clr.w   MOTOR_RIGHT
1:      move.w  #WATCHDOG_KICK, WATCHDOG
        .globl  __board_halted
__board_halted:
        bra.s   1b
        .size   __board_stop, . - __board_stop

| The handle that C++ passes to __cxa_atexit for this program.
        .section .rodata
        .globl  __dso_handle
        .hidden __dso_handle
        .balign 4
__dso_handle:
        .long   0

        .bss
        .balign 4
        .globl  __exception_pc, __exception_sr, __exception_vector
__exception_pc:
        .long   0
__exception_sr:
        .word   0
__exception_vector:
        .word   0
__atexit_count:
        .long   0
__atexit_table:
        .space  ATEXIT_MAX * 8
