#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the boards' runtime library, libgcc.a, from GCC's own sources, once for
# the 68000 (-m68000) and once for the CPU32 (-mcpu=cpu32), with Debian's m68k
# cross compiler, one object per routine but for long double:
#   - lb1sf68.S: 32-bit multiply, divide and modulo;
#   - soft-fp/*.c: IEEE float and double arithmetic, comparisons and
#     conversions (to and from each other and 32- and 64-bit integers), with
#     the machine description in soft-fp/sfp-machine.h;
#   - xfloat.c: exact long double conversions (to and from float, double and
#     32- and 64-bit integers), negation and comparisons;
#   - fpgnulib.c: long double +, -, * and /, computed in double;
#   - libgcc2.c: the 64-bit integer helpers (division, modulo, multiply,
#     shifts, comparisons), bit counting, powi and complex multiply and
#     divide, with the configuration headers in config/.
# The licence, the GPL with the GCC Runtime Library Exception, is copied beside.
#
# Usage: build-runtime.sh GCC_SOURCE_TARBALL OUTPUT_DIRECTORY
# writes OUTPUT_DIRECTORY/m68000/libgcc.a, OUTPUT_DIRECTORY/cpu32/libgcc.a,
# OUTPUT_DIRECTORY/COPYING3 and OUTPUT_DIRECTORY/COPYING.RUNTIME.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 GCC_SOURCE_TARBALL OUTPUT_DIRECTORY" >&2
    exit 2
fi
tarball=$1
output=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cc=${M68K_CC:-m68k-linux-gnu-gcc}
ar=${M68K_AR:-m68k-linux-gnu-ar}
nm=${M68K_NM:-m68k-linux-gnu-nm}

lb1_routines=(_mulsi3 _udivsi3 _divsi3 _umodsi3 _modsi3)
# eqXf2 also defines neXf2, geXf2 gtXf2 and leXf2 ltXf2.
softfp_routines=(addsf3 subsf3 mulsf3 divsf3 negsf2 eqsf2 gesf2 lesf2 unordsf2
    fixsfsi fixunssfsi fixsfdi fixunssfdi floatsisf floatunsisf floatdisf floatundisf
    adddf3 subdf3 muldf3 divdf3 negdf2 eqdf2 gedf2 ledf2 unorddf2
    fixdfsi fixunsdfsi fixdfdi fixunsdfdi floatsidf floatunsidf floatdidf floatundidf
    extendsfdf2 truncdfsf2)
libgcc2_routines=(_muldi3 _negdi2 _lshrdi3 _ashldi3 _ashrdi3 _cmpdi2 _ucmpdi2
    _divdi3 _moddi3 _divmoddi4 _udivdi3 _umoddi3 _udivmoddi4
    _ffssi2 _ffsdi2 _clz _clzsi2 _clzdi2 _ctzsi2 _ctzdi2 _clrsbsi2 _clrsbdi2
    _popcount_tab _popcountsi2 _popcountdi2 _paritysi2 _paritydi2 _bswapsi2 _bswapdi2
    _powisf2 _powidf2 _mulsc3 _muldc3 _divsc3 _divdc3)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

src=$work/gcc
mkdir -p "$src"
tar -xJf "$tarball" -C "$src" --strip-components=1 --wildcards \
    '*/libgcc/config/m68k/lb1sf68.S' '*/libgcc/config/m68k/fpgnulib.c' '*/libgcc/soft-fp/*' \
    '*/libgcc/libgcc2.c' '*/libgcc/libgcc2.h' '*/include/longlong.h' \
    '*/COPYING3' '*/COPYING.RUNTIME'

# No jump tables: their data in .text would disassemble as unknown instructions.
flags=(-Os -fno-jump-tables -fno-pic -fno-pie -fno-stack-protector -fno-asynchronous-unwind-tables
    -ffreestanding -DIN_LIBGCC2 -fbuilding-libgcc "-Wa,--noexecstack")
includes=(-I"$here/config" -I"$src/libgcc" -I"$src/include")
softfp_includes=(-I"$here/soft-fp" -I"$src/libgcc/soft-fp" -I"$src/include")

# fpgnulib's long double arithmetic, without its conversions and comparisons,
# which lose infinities, NaNs and precision: xfloat.c has exact ones.
awk '/crude math support/ { on = 1 } on && /^__negxf2/ { exit } on' \
    "$src/libgcc/config/m68k/fpgnulib.c" | sed '$d' >"$work/xfarith.c"

for cpu in m68000 cpu32; do
    case $cpu in
    m68000) cpu_flag=-m68000 ;;
    cpu32) cpu_flag=-mcpu=cpu32 ;;
    esac
    objects=$work/$cpu
    mkdir -p "$objects"
    for routine in "${lb1_routines[@]}"; do
        "$cc" "$cpu_flag" "${flags[@]}" -DL"$routine" -c "$src/libgcc/config/m68k/lb1sf68.S" \
            -o "$objects/lb1$routine.o"
    done
    for routine in "${softfp_routines[@]}"; do
        "$cc" "$cpu_flag" "${flags[@]}" "${softfp_includes[@]}" -c "$src/libgcc/soft-fp/$routine.c" \
            -o "$objects/$routine.o"
    done
    "$cc" "$cpu_flag" "${flags[@]}" -c "$here/xfloat.c" -o "$objects/xfloat.o"
    "$cc" "$cpu_flag" "${flags[@]}" -c "$work/xfarith.c" -o "$objects/xfarith.o"
    defined=$("$nm" --defined-only "$objects/xfarith.o" | awk '$2 == "T" { print $3 }' | sort | tr '\n' ' ')
    if [ "$defined" != "__addxf3 __divxf3 __mulxf3 __subxf3 " ]; then
        echo "$0: unexpected long double arithmetic taken from fpgnulib.c: $defined" >&2
        exit 1
    fi
    for routine in "${libgcc2_routines[@]}"; do
        "$cc" "$cpu_flag" "${flags[@]}" "${includes[@]}" -DL"$routine" -c "$src/libgcc/libgcc2.c" \
            -o "$objects/$routine.o"
    done
    mkdir -p "$output/$cpu"
    rm -f "$output/$cpu/libgcc.a"
    "$ar" rcs "$output/$cpu/libgcc.a" "$objects"/*.o
done
cp "$src/COPYING3" "$src/COPYING.RUNTIME" "$output/"
