// SPDX-License-Identifier: MIT
// Machine description for GCC's soft-fp on the 68000 and the CPU32: 32-bit
// words, big-endian, no FPU. Only round to nearest, no exception flags.

#define _FP_W_TYPE_SIZE 32
#define _FP_W_TYPE unsigned long
#define _FP_WS_TYPE signed long
#define _FP_I_TYPE long

typedef int __gcc_CMPtype __attribute__((mode(__libgcc_cmp_return__)));
#define CMPtype __gcc_CMPtype

// umul_ppmm and udiv_qrnnd come from longlong.h: mulu.w sequences and a C
// division on the 68000, mulu.l and divu.l on the CPU32.
#define _FP_MUL_MEAT_S(R, X, Y) _FP_MUL_MEAT_1_wide(_FP_WFRACBITS_S, R, X, Y, umul_ppmm)
#define _FP_MUL_MEAT_D(R, X, Y) _FP_MUL_MEAT_2_wide(_FP_WFRACBITS_D, R, X, Y, umul_ppmm)
#define _FP_MUL_MEAT_Q(R, X, Y) _FP_MUL_MEAT_4_wide(_FP_WFRACBITS_Q, R, X, Y, umul_ppmm)
#define _FP_DIV_MEAT_S(R, X, Y) _FP_DIV_MEAT_1_udiv_norm(S, R, X, Y)
#define _FP_DIV_MEAT_D(R, X, Y) _FP_DIV_MEAT_2_udiv(D, R, X, Y)
#define _FP_DIV_MEAT_Q(R, X, Y) _FP_DIV_MEAT_4_udiv(Q, R, X, Y)

// A NaN made from non-NaN operands (0/0, inf-inf, ...) is the positive quiet
// NaN 0x7FC00000 / 0x7FF8000000000000, the one GCC folds constants to.
#define _FP_NANFRAC_S _FP_QNANBIT_S
#define _FP_NANFRAC_D _FP_QNANBIT_D, 0
#define _FP_NANFRAC_Q _FP_QNANBIT_Q, 0, 0, 0
#define _FP_NANSIGN_S 0
#define _FP_NANSIGN_D 0
#define _FP_NANSIGN_Q 0

// A NaN operand comes out quieted with its sign and payload. With two NaN
// operands the first one wins, quiet or signalling, as SSE does.
#define _FP_KEEPNANFRACP 1
#define _FP_QNANNEGATEDP 0
#define _FP_CHOOSENAN(fs, wc, R, X, Y, OP)                                                         \
    do {                                                                                           \
        R##_s = X##_s;                                                                             \
        _FP_FRAC_COPY_##wc(R, X);                                                                  \
        R##_c = FP_CLS_NAN;                                                                        \
    } while (0)

#define FP_RND_NEAREST 0
#define FP_RND_ZERO 1
#define FP_RND_PINF 2
#define FP_RND_MINF 3
#define FP_ROUNDMODE FP_RND_NEAREST

// Flags are computed by soft-fp and dropped: nothing reads them.
#define FP_EX_INVALID 0x01
#define FP_EX_DIVZERO 0x02
#define FP_EX_OVERFLOW 0x04
#define FP_EX_UNDERFLOW 0x08
#define FP_EX_INEXACT 0x10
#define FP_HANDLE_EXCEPTIONS                                                                       \
    do {                                                                                           \
        (void)_fex;                                                                                \
    } while (0)

#define _FP_TININESS_AFTER_ROUNDING 1

#define __LITTLE_ENDIAN 1234
#define __BIG_ENDIAN 4321
#define __BYTE_ORDER __BIG_ENDIAN

#define strong_alias(name, aliasname) _strong_alias(name, aliasname)
#define _strong_alias(name, aliasname)                                                             \
    extern __typeof(name) aliasname __attribute__((alias(#name)));
