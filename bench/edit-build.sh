#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times the edit-build loop of a 40-file Palmor project built by the pack's
# Makefile and the real cross tools: a full build with -j2, "make" with nothing
# changed, and "make" after one .c is touched, the last against the time to
# compile that file and link by hand. Prints a table with the targets; exits 0
# whenever the measurements ran.
#
# Environment: QUELLIX_BUILD_DIR (default build/), QUELLIX_BENCH_RUNS (runs of
# each incremental figure, default 7).
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$(cd "${QUELLIX_BUILD_DIR:-$source_dir/build}" 2>/dev/null && pwd)" || {
    echo "No build directory: run scripts/setup.sh first." >&2
    exit 1
}
runs="${QUELLIX_BENCH_RUNS:-7}"
if [[ ! "$runs" =~ ^[1-9][0-9]*$ ]]; then
    echo "QUELLIX_BENCH_RUNS must be a positive integer." >&2
    exit 1
fi
demo_root="$build_dir/demo-root"
pack=palpack51
if [[ ! -f "$demo_root/$pack/examples/Makefile" || ! -d "$demo_root/LIB" ]]; then
    echo "Missing the demo root $demo_root: run scripts/setup.sh." >&2
    exit 1
fi
unset MAKEFLAGS MFLAGS MAKELEVEL MAKEFILES GNUMAKEFLAGS

work="$(mktemp -d "${TMPDIR:-/tmp}/quellix-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
export QPRJ="$demo_root" PATH="$demo_root/BIN:$PATH"

# The project: main.c and 39 modules of a few functions each, all including a
# shared header of their own and the board's.
project="$work/bench robot"
mkdir -p "$project"
cp "$demo_root/$pack/examples/Makefile" "$project/"
cp "$demo_root/$pack/examples/Template.c" "$project/main.c"
printf '#include "palmor.h"\nstruct axis { int position, speed, target; };\n' >"$project/robot.h"
for ((i = 1; i <= 39; i++)); do
    {
        printf '#include "robot.h"\n'
        for ((f = 1; f <= 8; f++)); do
            printf 'int module%d_step%d(struct axis *a, int n)\n{\n' "$i" "$f"
            printf '    for (int k = 0; k < n; k++) {\n'
            printf '        a->speed += (a->target - a->position) / (k + %d);\n' "$f"
            printf '        a->position += a->speed >> %d;\n    }\n' "$((f % 4))"
            printf '    return a->position * %d + a->speed;\n}\n' "$i"
        done
    } >"$project/module $i.c"
done

median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Runs a command in the project and prints its wall time in seconds.
timed() {
    local start end
    start=$(date +%s.%N)
    (cd "$project" && "$@") >"$work/out" 2>&1 || {
        echo "Failed: $*" >&2
        cat "$work/out" >&2
        exit 1
    }
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
}

echo "Full build of 40 files with -j2 ..." >&2
full=$(timed make -j2)
memory=$(grep '^ROM ' "$work/out")

# The same compilation and link by hand, with the Makefile's own commands and
# the start-up object it assembled. The commands quote "$QPRJ" for the shell.
command_of() {
    (cd "$project" && make -s --no-print-directory --eval "command: ; @printf '%s\n' '\$($1)'" command)
}
compile_command=$(command_of C_COMMAND)
link_command=$(command_of LINK_COMMAND)
libraries=$(command_of PACK_LIBRARIES)
touched='module 17.c'
objects=()
for object in "$project"/build/obj/*.o; do
    [[ "$object" == */module_2017.c.o ]] || objects+=("$object")
done
by_hand() {
    eval "$compile_command -c './$touched' -o '$work/touched.o'"
    eval "$link_command -o '$work/by hand.elf' '$project/build/crt0.o' \"\${objects[@]}\" '$work/touched.o' $libraries" >/dev/null
    m68k-objcopy -O srec --srec-forceS3 "$work/by hand.elf" "$work/by hand.s37"
}

# The three incremental figures take turns, so that a change in the machine's
# load weighs on each alike.
echo "Nothing changed, touched file, by hand: $runs runs each ..." >&2
for ((run = 1; run <= runs; run++)); do
    timed make -j2 >>"$work/nothing"
    touch "$project/$touched"
    timed make -j2 >>"$work/touched"
    grep -q '^  CC    \./module 17\.c$' "$work/out" && [[ $(grep -c '^  CC ' "$work/out") -eq 1 ]] || {
        echo "Touching '$touched' did not rebuild it alone:" >&2
        cat "$work/out" >&2
        exit 1
    }
    timed by_hand >>"$work/by_hand"
done

nothing_median=$(median <"$work/nothing")
touched_median=$(median <"$work/touched")
by_hand_median=$(median <"$work/by_hand")
ratio=$(awk -v a="$touched_median" -v b="$by_hand_median" 'BEGIN { printf "%.2f", a / b }')
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v <= t) ? "MET" : "NOT MET" }'; }
cpu_model="$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)"

echo
echo "Machine: ${cpu_model:-unknown CPU}, $(nproc) cores, Linux $(uname -r)"
echo "Project: 40 C files on Palmor ($pack); $runs runs of each incremental figure (medians)"
echo "Image: $memory"
echo
printf '%-38s %10s %12s  %s\n' "Figure" "time" "target" "result"
printf '%-38s %10s %12s\n' "Full build, make -j2" "$full s" "-"
printf '%-38s %10s %12s  %s\n' "make -j2, nothing changed" "$nothing_median s" "<= 0.1 s" \
    "$(verdict "$nothing_median" 0.1)"
printf '%-38s %10s %12s\n' "make -j2, one .c touched" "$touched_median s" "-"
printf '%-38s %10s %12s\n' "  that .c compiled and linked by hand" "$by_hand_median s" "-"
printf '%-38s %10s %12s  %s\n' "  ratio" "$ratio" "<= 1.3" "$(verdict "$ratio" 1.3)"
