| Start-up code for Vessik boards: the reset vectors, then .data copied
| from ROM to RAM, .bss cleared and main() called. main() is not expected to
| return; if it does, the board waits here.

        .section .vectors, "a"
        .long   __stack_top             | initial stack pointer
        .long   _start                  | reset program counter

        .text
        .globl  _start
_start:
        lea     __data_load, %a0
        lea     __data_start, %a1
        lea     __data_end, %a2
1:      cmp.l   %a2, %a1
        bcc.s   2f
        move.w  (%a0)+, (%a1)+
        bra.s   1b
2:      lea     __bss_start, %a1
        lea     __bss_end, %a2
3:      cmp.l   %a2, %a1
        bcc.s   4f
        clr.w   (%a1)+
        bra.s   3b
4:      jsr     main
5:      bra.s   5b
