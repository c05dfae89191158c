#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the boards' runtime library, libgcc.a, from GCC's own sources, once for
# the 68000 (-m68000) and once for the CPU32 (-mcpu=cpu32), with Debian's m68k
# cross compiler:
#   - lb1sf68.S: 32-bit multiply, divide and modulo, and the soft-float
#     arithmetic and comparisons for float and double, one object per routine;
#   - fpgnulib.c: conversions between float, double, long double and 32-bit
#     integers;
#   - libgcc2.c: the 64-bit helpers (division, modulo, multiply, shifts,
#     comparisons, conversions to and from floating point) and bit counting,
#     one object per routine, with the configuration headers in config/.
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

lb1_routines=(_mulsi3 _udivsi3 _divsi3 _umodsi3 _modsi3 _double _float _floatex
    _eqdf2 _nedf2 _gtdf2 _gedf2 _ltdf2 _ledf2 _eqsf2 _nesf2 _gtsf2 _gesf2 _ltsf2 _lesf2)
libgcc2_routines=(_muldi3 _negdi2 _lshrdi3 _ashldi3 _ashrdi3 _cmpdi2 _ucmpdi2
    _divdi3 _moddi3 _divmoddi4 _udivdi3 _umoddi3 _udivmoddi4
    _ffssi2 _ffsdi2 _clz _clzsi2 _clzdi2 _ctzsi2 _ctzdi2 _clrsbsi2 _clrsbdi2
    _popcount_tab _popcountsi2 _popcountdi2 _paritysi2 _paritydi2 _bswapsi2 _bswapdi2
    _fixunssfsi _fixunsdfsi _fixsfdi _fixdfdi _fixunssfdi _fixunsdfdi
    _floatdisf _floatdidf _floatundisf _floatundidf
    _powisf2 _powidf2 _mulsc3 _muldc3 _divsc3 _divdc3)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

src=$work/gcc
mkdir -p "$src"
tar -xJf "$tarball" -C "$src" --strip-components=1 --wildcards \
    '*/libgcc/config/m68k/lb1sf68.S' '*/libgcc/config/m68k/fpgnulib.c' \
    '*/libgcc/libgcc2.c' '*/libgcc/libgcc2.h' '*/include/longlong.h' \
    '*/COPYING3' '*/COPYING.RUNTIME'

flags=(-O2 -fno-pic -fno-pie -fno-stack-protector -fno-asynchronous-unwind-tables
    -ffreestanding -DIN_LIBGCC2 -fbuilding-libgcc -Wa,--noexecstack)
includes=(-I"$here/config" -I"$src/libgcc" -I"$src/include")

for cpu in m68000 cpu32; do
    case $cpu in
    m68000) cpu_flag=-m68000 ;;
    cpu32) cpu_flag=-mcpu=cpu32 ;;
    esac
    objects=$work/$cpu
    mkdir -p "$objects"
    for routine in "${lb1_routines[@]}"; do
        "$cc" "$cpu_flag" "${flags[@]}" -DL$routine -c "$src/libgcc/config/m68k/lb1sf68.S" \
            -o "$objects/lb1$routine.o"
    done
    "$cc" "$cpu_flag" "${flags[@]}" -c "$src/libgcc/config/m68k/fpgnulib.c" -o "$objects/fpgnulib.o"
    # The long double half calls __cmpdf2 from lb1sf68.S without declaring it.
    "$cc" "$cpu_flag" "${flags[@]}" -Wno-implicit-function-declaration -DEXTFLOAT -c "$src/libgcc/config/m68k/fpgnulib.c" \
        -o "$objects/xfgnulib.o"
    for routine in "${libgcc2_routines[@]}"; do
        "$cc" "$cpu_flag" "${flags[@]}" "${includes[@]}" -DL$routine -c "$src/libgcc/libgcc2.c" \
            -o "$objects/$routine.o"
    done
    mkdir -p "$output/$cpu"
    rm -f "$output/$cpu/libgcc.a"
    "$ar" rcs "$output/$cpu/libgcc.a" "$objects"/*.o
done
cp "$src/COPYING3" "$src/COPYING.RUNTIME" "$output/"
