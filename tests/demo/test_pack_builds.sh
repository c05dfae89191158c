#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds a project with each pack's Makefile and the real cross tools, under an
# installation root and in a project directory whose names hold spaces, accents
# and shell characters, as do the sources and headers: a full build of every
# source kind, nothing rebuilt when nothing changed, a touched header rebuilding
# its dependents only (a header whose name make can take as it is, and one it
# cannot), a broken source leaving no image, and a clean leaving only the
# user's files.
#
# Usage: test_pack_builds.sh DEMO_ROOT
# shellcheck disable=SC2016 # names hold a literal $ on purpose
set -euo pipefail
# shellcheck source=tests/packaging/common.sh
. "${BASH_SOURCE[0]%/*}/../packaging/common.sh"

(($# == 1)) || { echo "usage: $0 DEMO_ROOT" >&2; exit 2; }
demo_root=$1
load_boards
nm=m68k-linux-gnu-nm
require_command "$nm" binutils-m68k-linux-gnu
unset MAKEFLAGS MFLAGS MAKELEVEL MAKEFILES GNUMAKEFLAGS

# From here on a failure is counted, not fatal, and names its pack.
fail() { problem "[$pack] $*"; }

make_scratch

# The root through links: its name is odd, its contents the laid-out root's.
qprj="$scratch/root é \$HOME 'x' #1"
mkdir -p "$qprj"
for entry in "$demo_root"/*; do
    ln -s "$entry" "$qprj/${entry##*/}"
done
export QPRJ=$qprj PATH="$qprj/BIN:$PATH"

header='speed $x %1 #2 :;&*`'"'"'.h'
motor='motor control é.c'
helper='helper & co.cpp'
boot='boot $1 #.S'
idle='idle (stub).s'
# A header make can name as it is, included by a source it cannot.
gains='gains.h'
wheels='wheel drive é.c'

# Runs make -j2 in the project; its output in $output, its status returned.
build() {
    local status=0
    output=$(cd "$project" && make -j2 "$@" 2>&1) || status=$?
    return "$status"
}

# The sources the last build compiled, sorted, one a line.
compiled() {
    sed -n 's/^  \(CC\|CXX\|AS\)  *\.\///p' <<<"$output" | sort
}

expect_compiled() {
    local expected
    expected=$(printf '%s\n' "$@" | sed '/^$/d' | sort)
    [ "$(compiled)" = "$expected" ] ||
        fail "compiled [$(compiled | paste -sd '|')], not [$(paste -sd '|' <<<"$expected")]"
}

# In bytes, from "ROM (rx) : ORIGIN = ..., LENGTH = 128K".
region_size() {
    sed -n "s/^ *$1 .*LENGTH = \([0-9]*\)\([KM]\).*/\1 \2/p" "$demo_root/$pack/lib/"*.ld |
        awk '{ print $1 * ($2 == "M" ? 1048576 : 1024) }'
}

# Instructions in image $1 that its CPU lacks: the disassembler shows them as
# bare ".short" words.
missing_instructions() {
    local cpu=68000
    grep -q -- '-mcpu=cpu32' "$project/Makefile" && cpu=cpu32
    m68k-linux-gnu-objdump -d -m "m68k:$cpu" "$1" | grep -m 3 '\.short' || true
}

# Groups digits by three: 131072 -> 131 072.
group() { sed ':a;s/\([0-9]\)\([0-9]\{3\}\)\($\| \)/\1 \2\3/;ta' <<<"$1"; }

for pack in "${quellix_packs[@]}"; do
    project="$scratch/mes projets/$pack robot #1 \$x 'q' \"d\" ;&"
    mkdir -p "$project"
    cp "$demo_root/$pack/examples/Makefile" "$project/"
    # main() calls into every other source, so that the linker keeps them all.
    printf '%s\n' '#include "pack.h"' \
        'int motor_speed(void); int helper_twice(int); int boot_speed(void); void idle_stub(void);' \
        'int wheel_gain(void);' \
        'int main(void) { idle_stub(); return motor_speed() + helper_twice(boot_speed()) + wheel_gain(); }' \
        | sed "s/pack.h/$(cd "$demo_root/$pack/include" && echo *.h)/" >"$project/main.c"
    printf '#define SPEED 3\n' >"$project/$header"
    printf '#include "%s"\nint motor_speed(void) { return SPEED; }\n' "$header" >"$project/$motor"
    printf 'extern "C" int helper_twice(int v) { return 2 * v; }\n' >"$project/$helper"
    printf '#include "%s"\n        .text\n        .globl  boot_speed\nboot_speed:\n        moveq   #SPEED,%%d0\n        rts\n' \
        "$header" >"$project/$boot"
    printf '        .text\n        .globl  idle_stub\nidle_stub:\n        rts\n' >"$project/$idle"
    printf '#define GAIN 2\n' >"$project/$gains"
    printf '#include "%s"\nint wheel_gain(void) { return GAIN; }\n' "$gains" >"$project/$wheels"
    before=$(snapshot "$project")
    elf="$project/${project##*/}.elf"
    s37="$project/${project##*/}.s37"

    if ! build; then
        fail "the full build failed:"$'\n'"$output"
        continue
    fi
    expect_compiled main.c "$motor" "$helper" "$boot" "$idle" "$wheels"
    { [ -s "$elf" ] && [ -s "$s37" ]; } || fail "no image after the full build"
    symbols=$("$nm" "$elf" 2>&1) || fail "$nm cannot read the image: $symbols"
    for symbol in main motor_speed helper_twice boot_speed idle_stub wheel_gain; do
        grep -q " T $symbol\$" <<<"$symbols" || fail "$symbol is not in the image"
    done
    # The sizes printed are the memory map's, not numbers of the Makefile's own.
    rom=$(region_size ROM)
    ram=$(region_size RAM)
    grep -Eq "^ROM [1-9][0-9 ]* / $(group "$rom") bytes \([0-9.]+ %\), RAM [1-9][0-9 ]* / $(group "$ram") bytes" <<<"$output" ||
        fail "no ROM and RAM use against $rom and $ram bytes:"$'\n'"$output"

    image_time=$(stat -c %Y.%y "$s37")
    build || fail "the build with nothing changed failed"
    expect_compiled
    ! grep -q '  LD ' <<<"$output" || fail "relinked with nothing changed"
    [ "$(stat -c %Y.%y "$s37")" = "$image_time" ] || fail "the image was rewritten with nothing changed"

    rm "$s37"
    build || fail "the build after removing the image failed"
    expect_compiled
    [ -s "$s37" ] || fail "a removed image was not written again"

    touch "$project/$header"
    build || fail "the build after touching the header failed"
    expect_compiled "$motor" "$boot"
    grep -q '  LD ' <<<"$output" || fail "not relinked after touching the header"
    touch "$project/$gains"
    build || fail "the build after touching $gains failed"
    expect_compiled "$wheels"

    printf 'int broken(void) { return missing; }\n' >"$project/broken é.c"
    build && fail "a build with a broken source succeeded"
    grep -q '^\./broken é\.c:1:[0-9]*: error' <<<"$output" || fail "no diagnostic naming ./broken é.c:"$'\n'"$output"
    grep -q '^error: \./broken é\.c did not compile' <<<"$output" || fail "the failure does not name ./broken é.c:"$'\n'"$output"
    { [ ! -e "$elf" ] && [ ! -e "$s37" ]; } || fail "an image is left after a failed build"
    rm "$project/broken é.c"
    build || fail "the build after removing the broken source failed"
    [ -s "$s37" ] || fail "no image after the broken source was removed"

    # Headers named like make's own words: a special target and a target of
    # the Makefile. Neither may change what make does.
    printf '#define IGNORED 1\n' >"$project/.IGNORE"
    printf '#define CLEANED 1\n' >"$project/clean"
    printf '#include ".IGNORE"\n#include "clean"\nint words(void) { return IGNORED + CLEANED; }\n' \
        >"$project/words.c"
    build || fail "the build with headers named .IGNORE and clean failed:"$'\n'"$output"
    expect_compiled words.c
    [ -s "$s37" ] || fail "the headers named .IGNORE and clean removed the image"
    touch "$project/clean"
    build || fail "the build after touching the header named clean failed"
    expect_compiled words.c
    printf 'int broken(void) { return missing; }\n' >"$project/broken.c"
    build && fail "a broken source built after a header named .IGNORE was listed"
    rm "$project/broken.c" "$project/words.c" "$project/.IGNORE" "$project/clean"
    build || fail "the build after removing the odd headers failed"

    # The user's flags add to the board's: the image is still for the board's
    # CPU, and changed flags rebuild what they build, both ways.
    build CFLAGS+=-O2 || fail "make CFLAGS+=-O2 failed:"$'\n'"$output"
    expect_compiled main.c "$motor" "$wheels"
    [ -z "$(missing_instructions "$elf")" ] ||
        fail "make CFLAGS+=-O2 made an image with instructions the CPU lacks: $(missing_instructions "$elf")"
    build CFLAGS=-O2 || fail "make CFLAGS=-O2 failed:"$'\n'"$output"
    expect_compiled
    build || fail "make after CFLAGS=-O2 failed"
    expect_compiled main.c "$motor" "$wheels"
    build LDFLAGS+=-Wl,--defsym=user_flag=1 || fail "make LDFLAGS+=... failed:"$'\n'"$output"
    grep -q '  LD ' <<<"$output" || fail "not relinked after LDFLAGS changed"
    symbols=$("$nm" "$elf")
    grep -q ' user_flag$' <<<"$symbols" || fail "the user's LDFLAGS did not reach the link"
    { grep -q ' _start$' <<<"$symbols" && ! grep -q ' __libc_start_main$' <<<"$symbols"; } ||
        fail "make LDFLAGS+=... linked another start-up code"

    build clean || fail "make clean failed"
    [ "$(snapshot "$project")" = "$before" ] ||
        fail "make clean did not leave exactly the user's files:"$'\n'"$(diff <(echo "$before") <(snapshot) || true)"
done

# What stops a build before it starts says why.
pack=palpack51
project="$scratch/refusals"
mkdir -p "$project"
cp "$demo_root/$pack/examples/Makefile" "$demo_root/$pack/examples/Template.c" "$project/"
long_name="$(printf 'é%.0s' {1..41}).c" # 82 bytes, 246 encoded, with ".c" 248
cp "$project/Template.c" "$project/$long_name"
ln -s "$scratch/nowhere" "$project/build"
build && fail "a build through a dangling ./build link succeeded"
grep -q 'build is a symbolic link to nothing' <<<"$output" || fail "no word of the dangling link: $output"
rm "$project/build"
build || fail "the build with a name too long once encoded failed: $output"
grep -Fq "warning: '$long_name' is too long once encoded (248 bytes, at most 247): not built" <<<"$output" ||
    fail "no warning for the name too long once encoded: $output"
expect_compiled Template.c
if [ "$(id -u)" -ne 0 ]; then
    build clean && chmod a-w "$project"
    build && fail "a build in a read-only directory succeeded"
    grep -q 'Cannot create ./build in this directory' <<<"$output" || fail "no word of the read-only directory: $output"
    chmod u+w "$project"
fi

finish
