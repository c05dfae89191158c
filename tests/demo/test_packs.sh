#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the support packs of the laid-out demonstration root: their files are
# there and up to date, each template compiles as freestanding C, and each
# Makefile builds and cleans a project with stand-in tools on PATH, the
# installation root and the project directory holding spaces, accents and
# quotes.
#
# Usage: test_packs.sh DEMO_ROOT PACK_SOURCES
set -euo pipefail
# shellcheck source=tests/packaging/common.sh
. "${BASH_SOURCE[0]%/*}/../packaging/common.sh"

(($# == 2)) || { echo "usage: $0 DEMO_ROOT PACK_SOURCES" >&2; exit 2; }
demo_root=$1
pack_sources=$2

# Platform caption, pack directory, memory map, header, CPU flag, runtime
# library. The boot monitors' profiles are checked by the uploader's tests.
load_boards
runtime_dir=${EMPTY_DIRECTORIES[1]}
tools=(m68k-gcc m68k-g++ m68k-objcopy m68k-upload)

# Make must see nothing of whatever runs this test.
unset MAKEFLAGS MFLAGS MAKELEVEL MAKEFILES GNUMAKEFLAGS

# From here on a failure is counted, not fatal, and names what was checked.
context=
fail() { problem "[$context] $*"; }

make_scratch

# The stand-in tools: each records "== <tool>" and then its arguments, one a
# line, and writes the file it was asked to make (after -o; objcopy's last).
fake_bin="$scratch/fake bin"
mkdir -p "$fake_bin"
cat >"$fake_bin/fake-tool" <<'EOF'
#!/usr/bin/env bash
set -eu
tool=${0##*/}
printf '%s\n' "== $tool" "$@" >>"$FAKE_LOG"
if [ "${FAKE_FAIL:-}" = "$tool" ]; then
    echo "$tool: failing as asked" >&2
    exit 1
fi
[ "$tool" != m68k-upload ] || exit 0
out=
if [ "$tool" = m68k-objcopy ]; then
    [ $# -gt 0 ] && out=${!#}
else
    previous=
    for argument in "$@"; do
        [ "$previous" = -o ] && out=$argument
        previous=$argument
    done
fi
if [ -z "$out" ]; then
    echo "$tool: no output file named" >&2
    exit 2
fi
printf 'made by %s\n' "$tool" >"$out"
EOF
chmod +x "$fake_bin/fake-tool"
for tool in "${tools[@]}"; do
    ln -s fake-tool "$fake_bin/$tool"
done

# The installation root the launcher would export as QPRJ.
qprj="$scratch/Program Files/Quellix l'été"
mkdir -p "$qprj"
export PATH="$fake_bin:$PATH" QPRJ=$qprj

# Splits the log into one file per call, call.1, call.2, ..., in $1; each holds
# the tool's name on its first line and then its arguments.
split_log() {
    rm -rf "$1"
    mkdir -p "$1"
    awk -v dir="$1" '/^== / { file = dir "/call." ++n; print substr($0, 4) > file; next }
                     { print > file }' "$FAKE_LOG"
}

# Prints the argument after the first "$2" among the arguments of call file $1.
argument_after() {
    awk -v flag="$2" 'NR > 1 && found { print; exit } NR > 1 && $0 == flag { found = 1 }' "$1"
}

# The arguments of call file $1, on one line.
arguments() {
    tail -n +2 "$1" | paste -sd ' '
}

has_argument() {
    tail -n +2 "$1" | grep -Fxq -- "$2"
}

# Builds and cleans one project with pack $pack: $1 the project directory, $2
# the expected program name, then the sources to give it as NAME=SOURCE_FILE.
check_project() {
    local project=$1 name=$2
    shift 2
    local sources=() entry
    mkdir -p "$project"
    for entry in "$@"; do
        cp "${entry#*=}" "$project/${entry%%=*}"
        sources+=("${entry%%=*}")
    done
    cp "$examples/Makefile" "$project/Makefile"
    local before
    before=$(snapshot "$project")

    export FAKE_LOG="$scratch/tool.log"
    : >"$FAKE_LOG"
    local output
    if ! output=$(cd "$project" && make 2>&1); then
        fail "make failed in '$project':"$'\n'"$output"
        return
    fi

    local calls="$scratch/calls"
    split_log "$calls"
    local call tool compiled=() objects=() link='' objcopy='' startup=''
    for call in "$calls"/call.*; do
        tool=$(head -n 1 "$call")
        if [ "$(argument_after "$call" -c)" = "$qprj/$pack/lib/crt0.s" ]; then
            [ -z "$startup" ] || fail "the start-up code was assembled twice"
            startup=$(argument_after "$call" -o)
            has_argument "$call" "$cpu" || fail "the start-up code was assembled without $cpu"
        elif has_argument "$call" -c; then
            compiled+=("$(argument_after "$call" -c)")
            has_argument "$call" "$cpu" || fail "$tool compiled without $cpu: $(arguments "$call")"
            case "$(argument_after "$call" -c)" in
            *.c | *.cc | *.cpp | *.S)
                [ "$(argument_after "$call" -isystem)" = "$qprj/$pack/include" ] ||
                    fail "$tool was not given the pack's include directory as one argument: $(arguments "$call")"
                ;;
            esac
            objects+=("$(argument_after "$call" -o)")
        elif [ "$tool" = m68k-objcopy ]; then
            objcopy=$call
        elif [ "$tool" = m68k-gcc ]; then
            link=$call
        else
            fail "unexpected call of $tool: $(arguments "$call")"
        fi
    done

    local source expected_tool
    for source in "${sources[@]}"; do
        case "$source" in
        *.cc | *.cpp) expected_tool=m68k-g++ ;;
        *) expected_tool=m68k-gcc ;;
        esac
        local count=0
        for call in "$calls"/call.*; do
            if [ "$(head -n 1 "$call")" = "$expected_tool" ] && [ "$(argument_after "$call" -c)" = "./$source" ]; then
                count=$((count + 1))
            fi
        done
        [ "$count" -eq 1 ] || fail "$source was compiled by $expected_tool $count times, not once"
    done
    [ "${#compiled[@]}" -eq "${#sources[@]}" ] ||
        fail "${#compiled[@]} compilations for ${#sources[@]} sources: ${compiled[*]}"

    if [ -z "$link" ]; then
        fail "nothing was linked"
    else
        local memory_map_path
        memory_map_path=$(argument_after "$link" -T)
        [ "$memory_map_path" = "$qprj/$pack/lib/$map" ] ||
            fail "link got memory map '$memory_map_path', not '$qprj/$pack/lib/$map'"
        [ -f "$memory_map_path" ] || fail "memory map '$memory_map_path' is not in the pack"
        [ -f "$qprj/$pack/lib/crt0.s" ] || fail "the pack has no lib/crt0.s"
        if [ -z "$startup" ]; then
            fail "the pack's crt0.s was not assembled as one argument"
        else
            has_argument "$link" "$startup" || fail "link was not given the start-up object $startup"
        fi
        has_argument "$link" "$cpu" || fail "link without $cpu"
        has_argument "$link" "$qprj/$runtime_dir/$runtime/libgcc.a" ||
            fail "link was not given the installation's $runtime runtime library as one argument"
        ! has_argument "$link" -lgcc || fail "link uses the cross compiler's own libgcc"
        has_argument "$link" -Wl,--orphan-handling=error ||
            fail "link lets sections the memory map does not place through"
        [ "$(argument_after "$link" -o)" = "./$name.elf" ] ||
            fail "link output is '$(argument_after "$link" -o)', not './$name.elf'"
        local object
        for object in "${objects[@]}"; do
            has_argument "$link" "$object" || fail "link misses $object"
        done
    fi

    if [ -z "$objcopy" ]; then
        fail "no S-record image was asked of m68k-objcopy"
    else
        [ "$(argument_after "$objcopy" -O)" = srec ] || fail "m68k-objcopy not asked for S-records"
        [ "$(tail -n 2 "$objcopy" | paste -sd '|')" = "./$name.elf|./$name.s37" ] ||
            fail "m68k-objcopy got '$(tail -n 2 "$objcopy" | paste -sd ' ')', not './$name.elf ./$name.s37'"
    fi
    [ -f "$project/$name.elf" ] || fail "'$name.elf' was not made"
    [ -f "$project/$name.s37" ] || fail "'$name.s37' was not made"

    # make upload hands the image to the uploader with the board's profile, and
    # the port and rate given, one argument each.
    : >"$FAKE_LOG"
    local port="/dev/serial/by-id/usb-Robot's adapter \$1"
    if ! output=$(cd "$project" && make upload PORT="$port" BAUD=4800 2>&1); then
        fail "make upload failed in '$project':"$'\n'"$output"
    else
        [ "$(paste -sd '|' "$FAKE_LOG")" = "== m68k-upload|--profile|$qprj/$pack/lib/board.profile|--port|$port|--baud|4800|./$name.s37" ] ||
            fail "make upload ran: $(paste -sd ' ' "$FAKE_LOG")"
    fi

    if ! output=$(cd "$project" && make clean 2>&1); then
        fail "make clean failed in '$project':"$'\n'"$output"
        return
    fi
    local after
    after=$(snapshot "$project")
    [ "$before" = "$after" ] ||
        fail "make clean did not leave just the sources and the Makefile:"$'\n'"$(diff <(echo "$before") <(echo "$after") || true)"
}

# A build whose tools fail, or that has no QPRJ, must fail and make no program.
check_failures() {
    local project="$scratch/failing é/$pack proj"
    mkdir -p "$project"
    cp "$examples/Template.c" "$project/main.c"
    cp "$examples/Makefile" "$project/Makefile"
    export FAKE_LOG="$scratch/failing.log"

    local tool
    for tool in "${tools[@]}"; do
        [ "$tool" = m68k-g++ ] && continue # no C++ source here
        local goal=all
        [ "$tool" = m68k-upload ] && goal=upload
        : >"$FAKE_LOG"
        if (cd "$project" && FAKE_FAIL=$tool make "$goal") >/dev/null 2>&1; then
            fail "make reported success though $tool failed"
        fi
        if [ "$tool" = m68k-gcc ] && { [ -e "$project/$pack proj.elf" ] || [ -e "$project/$pack proj.s37" ]; }; then
            fail "a program was made though $tool failed"
        fi
        (cd "$project" && make clean) >/dev/null 2>&1 || true
    done

    : >"$FAKE_LOG"
    local output
    if output=$(cd "$project" && env -u QPRJ make 2>&1); then
        fail "make reported success without QPRJ"
    elif ! grep -q QPRJ <<<"$output"; then
        fail "make without QPRJ did not say so: $output"
    fi
    [ ! -s "$FAKE_LOG" ] || fail "tools were run without QPRJ"
}

for entry in "${quellix_boards[@]}"; do
    IFS='|' read -r platform pack map _ cpu runtime <<<"$entry"
    examples="$demo_root/$pack/examples"

    context="$pack: layout"
    for file in Template.c Makefile; do
        [ -f "$examples/$file" ] || fail "$examples/$file is missing"
    done
    [ -d "$pack_sources/$pack" ] || fail "no sources for $pack in $pack_sources"
    while IFS= read -r -d '' file; do
        relative=${file#"$pack_sources/"}
        cmp -s "$file" "$demo_root/$relative" || fail "$demo_root/$relative is missing or differs from $file"
    done < <(find "$pack_sources/$pack" -type f -print0)
    { [ -f "$examples/Template.c" ] && [ -f "$examples/Makefile" ]; } || continue

    context="$pack: Template.c"
    head -n 1 "$examples/Template.c" | grep -q "Template for a new $platform project" ||
        fail "Template.c does not start by saying it is the template for a new $platform project"
    if ! output=$(cc -std=c99 -ffreestanding -fsyntax-only -Wall -Wextra -Werror -pedantic \
        -I"$demo_root/$pack/include" "$examples/Template.c" 2>&1); then
        fail "Template.c does not compile as freestanding C:"$'\n'"$output"
    fi

    context="$pack: Makefile"
    head -n 1 "$examples/Makefile" | grep -q "$platform project, from the support pack $pack" ||
        fail "the Makefile does not name $platform and $pack on its first line"
    rm -rf "$qprj"
    mkdir -p "$qprj"
    cp -R "$demo_root/$pack" "$qprj/$pack"

    context="$pack: Template.c alone"
    check_project "$scratch/my robots/projet é/$pack/demo" demo \
        "demo.c=$examples/Template.c"

    context="$pack: every source kind, names with spaces"
    printf 'int twice(int value);\nint twice(int value) { return 2 * value; }\n' >"$scratch/helpers.cc"
    printf '        .text\n        .globl  idle\nidle:   rts\n' >"$scratch/idle.s"
    check_project "$scratch/my robots/l'atelier ü/$pack/Bras gauche" "Bras gauche" \
        "main.c=$examples/Template.c" "helpers.cc=$scratch/helpers.cc" "idle.s=$scratch/idle.s" \
        "more helpers.cpp=$scratch/helpers.cc" "boot code.S=$scratch/idle.s"

    context="$pack: failures"
    check_failures
done

finish
