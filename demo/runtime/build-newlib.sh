#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the boards' C library, newlib's libc.a and libm.a, from newlib's
# sources (Debian package newlib-source), once for the 68000 (-m68000) and once
# for the CPU32 (-mcpu=cpu32), with Debian's m68k cross compiler. The
# configuration is for small firmware without an operating system: reentrancy
# structures in their small form, one thread, the small malloc, exit() that
# pulls in only what the program uses, the full printf and scanf (long long,
# floating point, C99 formats), no system calls of newlib's own: the board's
# start-up code or the program provides the hooks (sbrk, write, read...).
# Switches compile without jump tables, as the runtime library does, so that
# every word of the code disassembles as an instruction and can be checked
# against the CPU's instruction set.
#
# Two faults of newlib 3.3.0 are mended before the build:
#   - memcpy copies long words from odd addresses on any CPU that defines
#     __mc68020__, the CPU32 included, whose bus faults on them;
#   - __register_exitproc never allocates the next block of 32 atexit entries
#     unless the target provides its own malloc, and would call a missing
#     (weak) malloc: entries past the 32nd now come from malloc when the
#     program links it, and registration fails cleanly when it does not;
#   - __call_exitprocs, for the same reason, runs only the newest block and
#     drops the others: it now runs them all, and frees the blocks only when
#     free is linked.
#
# Usage: build-newlib.sh NEWLIB_SOURCE_TARBALL OUTPUT_DIRECTORY
# writes OUTPUT_DIRECTORY/m68000/{libc.a,libm.a}, OUTPUT_DIRECTORY/cpu32/{libc.a,
# libm.a}, the headers (the same for both CPUs) in OUTPUT_DIRECTORY/include and
# the licence texts in OUTPUT_DIRECTORY/COPYING.NEWLIB.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 NEWLIB_SOURCE_TARBALL OUTPUT_DIRECTORY" >&2
    exit 2
fi
tarball=$(realpath "$1")
mkdir -p "$2"
output=$(realpath "$2")
tools=${M68K_TOOL_PREFIX:-m68k-linux-gnu-}
jobs=${QUELLIX_RUNTIME_JOBS:-$(nproc)}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

src=$work/src
mkdir -p "$src"
tar -xJf "$tarball" -C "$src" --strip-components=1

# Replaces text in a source file with sed, and fails unless the result holds
# the expected line.
mend() {
    local file=$src/$1 expression=$2 expected=$3
    sed -i -e "$expression" "$file"
    if ! grep -qF -- "$expected" "$file"; then
        echo "$0: could not mend $1 (is this newlib 3.3.0?)" >&2
        exit 1
    fi
}
mend newlib/libc/machine/m68k/memcpy.S \
    's/|| defined (__mc68020__) ||/|| (defined (__mc68020__) \&\& !defined (__mcpu32__)) ||/' \
    '(defined (__mc68020__) && !defined (__mcpu32__))'
mend newlib/libc/stdlib/__atexit.c \
    's/^#if !defined (_ATEXIT_DYNAMIC_ALLOC) || !defined (MALLOC_PROVIDED)$/#if !defined (_ATEXIT_DYNAMIC_ALLOC)/' \
    '#if !defined (_ATEXIT_DYNAMIC_ALLOC)'
mend newlib/libc/stdlib/__atexit.c \
    's/^      p = (struct _atexit \*) malloc (sizeof \*p);$/      p = malloc ? (struct _atexit *) malloc (sizeof *p) : NULL;/' \
    'p = malloc ? (struct _atexit *) malloc (sizeof *p) : NULL;'
mend newlib/libc/stdlib/__atexit.c \
    's/^  struct _on_exit_args \* args;$/  struct _on_exit_args * args = NULL;/' \
    'struct _on_exit_args * args = NULL;'
mend newlib/libc/stdlib/__call_atexit.c \
    's/^#if !defined (_ATEXIT_DYNAMIC_ALLOC) || !defined (MALLOC_PROVIDED)$/#if !defined (_ATEXIT_DYNAMIC_ALLOC)/' \
    '#if !defined (_ATEXIT_DYNAMIC_ALLOC)'
mend newlib/libc/stdlib/__call_atexit.c \
    's/^\(\t *\)free (\(args\|p\));$/\1if (free)\n\1  free (\2);/' \
    'if (free)'

# Debian's compiler targets Linux: none of its system's macros may reach newlib,
# whose headers would then describe glibc's world.
undefines=(-U__linux__ -U__linux -Ulinux -U__gnu_linux__ -U__unix__ -U__unix -Uunix)

for cpu in m68000 cpu32; do
    case $cpu in
    m68000) cpu_flag=-m68000 ;;
    cpu32) cpu_flag=-mcpu=cpu32 ;;
    esac
    build=$work/build-$cpu
    prefix=$work/install-$cpu
    mkdir -p "$build"
    (
        cd "$build"
        "$src/configure" --target=m68k-elf --prefix="$prefix" \
            --disable-multilib --disable-nls \
            --disable-newlib-supplied-syscalls \
            --enable-newlib-nano-malloc --enable-lite-exit \
            --enable-newlib-io-long-long --enable-newlib-io-c99-formats \
            --enable-newlib-reent-small --disable-newlib-multithread \
            --enable-newlib-global-atexit --disable-newlib-wide-orient \
            --enable-target-optspace \
            CC_FOR_TARGET="${tools}gcc $cpu_flag ${undefines[*]}" \
            CXX_FOR_TARGET="${tools}g++ $cpu_flag ${undefines[*]}" \
            AR_FOR_TARGET="${tools}ar" AS_FOR_TARGET="${tools}as" \
            LD_FOR_TARGET="${tools}ld" NM_FOR_TARGET="${tools}nm" \
            RANLIB_FOR_TARGET="${tools}ranlib" STRIP_FOR_TARGET="${tools}strip" \
            OBJDUMP_FOR_TARGET="${tools}objdump" READELF_FOR_TARGET="${tools}readelf" \
            CFLAGS_FOR_TARGET="-g -Os -fno-jump-tables -ffunction-sections -fdata-sections -fno-pie -Wa,--noexecstack" \
            >configure.log 2>&1 || { tail -n 40 configure.log >&2; exit 1; }
        make -j"$jobs" all-target-newlib >build.log 2>&1 || { tail -n 60 build.log >&2; exit 1; }
        make install-target-newlib >install.log 2>&1 || { tail -n 40 install.log >&2; exit 1; }
    )
    mkdir -p "$output/$cpu"
    cp "$prefix/m68k-elf/lib/libc.a" "$prefix/m68k-elf/lib/libm.a" "$output/$cpu/"
done

# Both builds share one set of headers: they must not differ.
if ! diff -r "$work/install-m68000/m68k-elf/include" "$work/install-cpu32/m68k-elf/include" >&2; then
    echo "$0: the 68000 and CPU32 builds installed different headers" >&2
    exit 1
fi
# include/c++ belongs to build-libsupcxx.sh.
mkdir -p "$output/include"
find "$output/include" -mindepth 1 -maxdepth 1 ! -name c++ -exec rm -rf {} +
cp -R "$work/install-m68000/m68k-elf/include/." "$output/include/"
cp "$src/COPYING.NEWLIB" "$output/"
