#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the boards' C++ runtime, libsupc++.a (operator new and delete, the
# guards of function-local statics, __cxa_pure_virtual, type information,
# std::terminate), from the libstdc++ sources in GCC's tarball (Debian package
# gcc-12-source), as a freestanding library, once for the 68000 (-m68000) and
# once for the CPU32 (-mcpu=cpu32), with Debian's m68k cross compiler. It is
# built single-threaded, without exceptions (failures end in abort()) and
# against newlib's headers, which build-newlib.sh installs: Debian's compiler
# would otherwise see glibc's headers and its POSIX threads.
#
# Usage: build-libsupcxx.sh GCC_SOURCE_TARBALL NEWLIB_INCLUDE_DIRECTORY OUTPUT_DIRECTORY
# writes OUTPUT_DIRECTORY/m68000/libsupc++.a, OUTPUT_DIRECTORY/cpu32/libsupc++.a
# and the freestanding C++ headers (the same for both CPUs) below
# OUTPUT_DIRECTORY/include/c++. A compilation puts include/c++/12, then
# include/c++/12/m68k-elf on its include path before the C headers.
set -euo pipefail

if [ $# -ne 3 ]; then
    echo "usage: $0 GCC_SOURCE_TARBALL NEWLIB_INCLUDE_DIRECTORY OUTPUT_DIRECTORY" >&2
    exit 2
fi
tarball=$(realpath "$1")
newlib_include=$(realpath "$2")
mkdir -p "$3"
output=$(realpath "$3")
tools=${M68K_TOOL_PREFIX:-m68k-linux-gnu-}
jobs=${QUELLIX_RUNTIME_JOBS:-$(nproc)}
gcc_include=$("${tools}gcc" -print-file-name=include)
if [ ! -f "$newlib_include/newlib.h" ] || [ ! -f "$gcc_include/stddef.h" ]; then
    echo "$0: newlib's headers or the compiler's own headers are missing" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# libstdc++'s sources, the build scripts it uses from the top of GCC's tree,
# GCC's version, libiberty's demangler, the thread headers and the unwinder's
# table decoder.
src=$work/src
mkdir -p "$src"
tar -xJf "$tarball" -C "$src" --strip-components=1 --wildcards --no-wildcards-match-slash \
    '*/config.guess' '*/config.sub' '*/config-ml.in' '*/config.rpath' '*/install-sh' \
    '*/missing' '*/mkinstalldirs' '*/move-if-change' '*/ltmain.sh' '*/multilib.am' \
    '*/gcc/BASE-VER' '*/gcc/DATESTAMP' '*/gcc/DEV-PHASE' \
    '*/config' '*/include' '*/libiberty' '*/libgcc/gthr*' '*/libgcc/unwind-pe.h' '*/libstdc++-v3'

# The compilers libstdc++'s configure sees: Debian's, for one CPU, with newlib's
# headers in place of glibc's and no Linux macros, reporting the single-threaded
# model that selects libgcc/gthr-single.h.
bin=$work/bin
mkdir -p "$bin"
write_wrapper() {
    local name=$1 compiler=$2 cpu_flag=$3
    cat >"$bin/$name" <<EOF
#!/bin/sh
if [ "\$#" -eq 1 ] && [ "\$1" = -v ]; then
    '$compiler' -v 2>&1 | sed 's/^Thread model: .*/Thread model: single/' >&2
    exit 0
fi
exec '$compiler' $cpu_flag -nostdinc -isystem '$gcc_include' -isystem '$newlib_include' \\
    -U__linux__ -U__linux -Ulinux -U__gnu_linux__ -U__unix__ -U__unix -Uunix "\$@"
EOF
    chmod +x "$bin/$name"
}
case $src$gcc_include$newlib_include in
*"'"*)
    echo "$0: paths holding a single quote are not supported" >&2
    exit 1
    ;;
esac

for cpu in m68000 cpu32; do
    case $cpu in
    m68000) cpu_flag=-m68000 ;;
    cpu32) cpu_flag=-mcpu=cpu32 ;;
    esac
    write_wrapper "m68k-elf-gcc-$cpu" "$(command -v "${tools}gcc")" "$cpu_flag"
    write_wrapper "m68k-elf-g++-$cpu" "$(command -v "${tools}g++")" "$cpu_flag"
    build=$work/build-$cpu
    prefix=$work/install-$cpu
    mkdir -p "$build"
    flags="-Os -g -fno-jump-tables -ffunction-sections -fdata-sections -fno-pie"
    (
        cd "$build"
        "$src/libstdc++-v3/configure" --host=m68k-elf --prefix="$prefix" \
            --disable-multilib --disable-shared --disable-nls \
            --disable-hosted-libstdcxx --with-newlib --disable-libstdcxx-verbose \
            --enable-threads=single --with-gxx-include-dir="$prefix/include/c++/12" \
            CC="$bin/m68k-elf-gcc-$cpu" CXX="$bin/m68k-elf-g++-$cpu" \
            AR="${tools}ar" AS="${tools}as" LD="${tools}ld" NM="${tools}nm" \
            RANLIB="${tools}ranlib" OBJDUMP="${tools}objdump" STRIP="${tools}strip" \
            CFLAGS="$flags" CXXFLAGS="$flags -fno-exceptions" \
            >configure.log 2>&1 || { tail -n 40 configure.log >&2; exit 1; }
        make -j"$jobs" >build.log 2>&1 || { tail -n 60 build.log >&2; exit 1; }
        make install >install.log 2>&1 || { tail -n 40 install.log >&2; exit 1; }
    )
    config=$prefix/include/c++/12/m68k-elf/bits/c++config.h
    if ! grep -q '^#define _GLIBCXX_HOSTED 0$' "$config" ||
        grep -q '^#define _GLIBCXX_HAS_GTHREADS' "$config" ||
        ! grep -q 'GTHR_SINGLE_H' "$build/include/m68k-elf/bits/gthr-default.h" ||
        "${tools}nm" -u "$prefix/lib/libsupc++.a" | grep -q pthread_; then
        echo "$0: $cpu: the library was not configured freestanding and single-threaded" >&2
        exit 1
    fi
    mkdir -p "$output/$cpu"
    cp "$prefix/lib/libsupc++.a" "$output/$cpu/"
done

# Both builds share one set of headers: they must not differ.
if ! diff -r "$work/install-m68000/include" "$work/install-cpu32/include" >&2; then
    echo "$0: the 68000 and CPU32 builds installed different headers" >&2
    exit 1
fi
mkdir -p "$output/include"
rm -rf "$output/include/c++"
cp -R "$work/install-m68000/include/c++" "$output/include/c++"
