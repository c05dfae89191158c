#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures the launcher under a private Xvfb, side by side with a reference
# program that shows the same form with no logic: start-up to first paint, peak
# memory, and the processor time and wake-ups it spends waiting for the IDE.
# Prints a table with the targets; exits 0 whenever the measurements ran.
#
# Environment: QUELLIX_BUILD_DIR (default build/), QUELLIX_BENCH_RUNS (runs of
# each program, default 21), QUELLIX_BENCH_SETTLE_MS (pause after the first
# paint before memory is read, default 500).
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$(cd "${QUELLIX_BUILD_DIR:-$source_dir/build}" 2>/dev/null && pwd)" || {
    echo "No build directory: run scripts/setup.sh first." >&2
    exit 1
}
runs="${QUELLIX_BENCH_RUNS:-21}"
settle_ms="${QUELLIX_BENCH_SETTLE_MS:-500}"
wait_seconds=10
if [[ ! "$runs" =~ ^[1-9][0-9]*$ || ! "$settle_ms" =~ ^[0-9]+$ ]]; then
    echo "QUELLIX_BENCH_RUNS must be a positive integer, QUELLIX_BENCH_SETTLE_MS an integer." >&2
    exit 1
fi
title='Quellix Project Management'

launcher="$build_dir/launcher/quellix-launcher"
reference="$build_dir/bench/quellix-bench-reference"
probe="$build_dir/bench/quellix-bench-firstpaint"
demo_root="$build_dir/demo-root"

for file in "$launcher" "$reference" "$probe"; do
    if [[ ! -x "$file" ]]; then
        echo "Missing $file: run scripts/setup.sh (the probe needs libxcb1-dev)." >&2
        exit 1
    fi
done
if [[ ! -d "$demo_root/SN451/bin" ]]; then
    echo "Missing the demo root $demo_root: run scripts/setup.sh." >&2
    exit 1
fi
for command in Xvfb xdotool; do
    if ! command -v "$command" >/dev/null; then
        echo "Missing $command: apt-get install xvfb xdotool" >&2
        exit 1
    fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/quellix-bench.XXXXXX")"
xvfb_pid=""
waiting_pid=""
cleanup() {
    if [[ -n "$waiting_pid" ]]; then
        kill "$waiting_pid" 2>/dev/null || true
        wait "$waiting_pid" 2>/dev/null || true
    fi
    # The stand-in IDE and its sleep, if the launcher left them behind.
    if [[ -s "$work/samples/standin.pid" ]]; then
        standin_pid="$(cat "$work/samples/standin.pid")"
        pkill -P "$standin_pid" 2>/dev/null || true
        kill "$standin_pid" 2>/dev/null || true
    fi
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# --- A private X server: a plain black root and no window manager. ---
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset -br \
    3>"$work/displayfd" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
read -r -t 20 display <"$work/displayfd" || true
if [[ -z "$display" ]]; then
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi

# The same environment for every program measured.
mkdir -m 700 "$work/runtime"
export DISPLAY=":$display" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY SESSION_MANAGER QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS

median() {
    sort -g | awk '{ v[NR] = $1 } END {
        if (NR == 0) { print "nan"; exit }
        print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Runs the probe once; appends the first paint (ms), peak RSS (kB) and processor
# time (ms) to files.
measure() {
    local name="$1" line
    shift
    if ! line="$("$probe" -s "$settle_ms" "$@" 2>>"$work/$name.log")"; then
        echo "The first-paint probe failed for $name; its log:" >&2
        tail -n 20 "$work/$name.log" >&2
        exit 1
    fi
    [[ "$line" =~ paint_ms=([0-9.]+)\ hwm_kb=([0-9]+)\ .*cpu_ms=([0-9.]+) ]] || {
        echo "Unexpected probe output: $line" >&2
        exit 1
    }
    echo "${BASH_REMATCH[1]}" >>"$work/$name.paint"
    echo "${BASH_REMATCH[2]}" >>"$work/$name.hwm"
    echo "${BASH_REMATCH[3]}" >>"$work/$name.cpu"
}

measure_launcher() { measure launcher -C "$demo_root" "$launcher"; }
measure_reference() { measure reference "$reference"; }

echo "Start-up and memory: $runs runs of each, alternating, under Xvfb $DISPLAY ..." >&2
# One discarded run of each warms the page and font caches.
measure_launcher
measure_reference
rm -f "$work"/*.paint "$work"/*.hwm "$work"/*.cpu
for ((run = 1; run <= runs; run++)); do
    measure_launcher
    measure_reference
done

launcher_paint="$(median <"$work/launcher.paint")"
reference_paint="$(median <"$work/reference.paint")"
launcher_hwm="$(median <"$work/launcher.hwm")"
reference_hwm="$(median <"$work/reference.hwm")"
launcher_cpu="$(median <"$work/launcher.cpu")"
reference_cpu="$(median <"$work/reference.cpu")"

# --- Waiting: a stand-in IDE that sleeps, in a copy of the demo root. ---
echo "Waiting: clicking \"Open Existing Project\", the IDE stand-in sleeps ${wait_seconds} s ..." >&2
wait_root="$work/root"
samples="$work/samples"
cp -a "$demo_root" "$wait_root"
mkdir "$samples"
standin="$wait_root/SN451/bin/snavigator.exe"
rm -f "$standin"
# It reads its parent's (the launcher's) counters, every thread's, at the start
# and the end of its sleep; reading /proc does not wake the launcher.
cat >"$standin" <<'EOF'
#!/bin/sh
set -eu
out="$QUELLIX_BENCH_SAMPLES"
snapshot() {
    cat "/proc/$PPID/stat" >"$out/$1.stat"
    cat "/proc/$PPID/status" >"$out/$1.status"
    for task in "/proc/$PPID/task/"*; do
        echo "$(cut -d' ' -f1 "$task/schedstat")" \
            "$(awk '/ctxt_switches/ { s += $2 } END { print s }' "$task/status")"
    done >"$out/$1.tasks"
}
echo $$ >"$out/standin.pid"
snapshot start
sleep "$QUELLIX_BENCH_SLEEP"
snapshot end
rm -f "$out/standin.pid"
EOF
chmod +x "$standin"

(
    cd "$wait_root"
    QUELLIX_BENCH_SAMPLES="$samples" QUELLIX_BENCH_SLEEP="$wait_seconds" exec "$launcher"
) >"$work/waiting.log" 2>&1 &
waiting_pid=$!
window="$(timeout 20 xdotool search --sync --onlyvisible --pid "$waiting_pid" --name "^$title\$" |
    head -n 1)" || true
if [[ -z "$window" ]]; then
    echo "The launcher's window did not appear." >&2
    exit 1
fi
sleep 1
# The middle of the button, in the window's client coordinates.
xdotool mousemove --window "$window" 381 223 click 1
deadline=$((SECONDS + 10))
until [[ -s "$samples/start.tasks" ]]; do
    if ((SECONDS > deadline)); then
        echo "The click did not start the IDE stand-in." >&2
        exit 1
    fi
    sleep 0.05
done
deadline=$((SECONDS + wait_seconds + 20))
while kill -0 "$waiting_pid" 2>/dev/null && ((SECONDS <= deadline)); do
    sleep 0.2
done
waiting_status=0
if kill -0 "$waiting_pid" 2>/dev/null; then
    waiting_status=timeout
    kill "$waiting_pid" 2>/dev/null || true
    wait "$waiting_pid" 2>/dev/null || true
else
    wait "$waiting_pid" || waiting_status=$?
fi
waiting_pid=""
if [[ ! -s "$samples/end.tasks" ]]; then
    echo "The IDE stand-in did not finish its sleep." >&2
    exit 1
fi

ticks_per_second="$(getconf CLK_TCK)"
# utime + stime of the whole process, in clock ticks (fields 14 and 15).
stat_ticks() { sed 's/.*) //' "$1" | awk '{ print $12 + $13 }'; }
status_switches() { awk '/ctxt_switches/ { s += $2 } END { print s }' "$1"; }
tasks_sum() { awk -v f="$2" '{ s += $f } END { print s }' "$1"; }
wait_ticks=$(($(stat_ticks "$samples/end.stat") - $(stat_ticks "$samples/start.stat")))
wait_cpu_ms="$(awk -v t="$wait_ticks" -v hz="$ticks_per_second" 'BEGIN { print t * 1000 / hz }')"
wait_sched_ms="$(awk -v a="$(tasks_sum "$samples/start.tasks" 1)" \
    -v b="$(tasks_sum "$samples/end.tasks" 1)" 'BEGIN { printf "%.3f", (b - a) / 1e6 }')"
# The scheduler's run time (ns) is exact; stat's ticks are sampled.
if [[ -r /proc/self/schedstat ]]; then
    wait_cpu_judged="$wait_sched_ms"
else
    wait_cpu_judged="$wait_cpu_ms"
fi
wait_wakeups=$(($(status_switches "$samples/end.status") - $(status_switches "$samples/start.status")))
wait_wakeups_all=$(($(tasks_sum "$samples/end.tasks" 2) - $(tasks_sum "$samples/start.tasks" 2)))
wait_threads="$(wc -l <"$samples/end.tasks")"

# --- Report. ---
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
verdict() { awk -v v="$1" -v op="$2" -v t="$3" 'BEGIN {
    met = (op == "<=") ? (v <= t) : (v < t); print met ? "MET" : "NOT MET" }'; }
paint_ratio="$(ratio "$launcher_paint" "$reference_paint")"
hwm_ratio="$(ratio "$launcher_hwm" "$reference_hwm")"
cpu_model="$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)"

echo
echo "Machine: ${cpu_model:-unknown CPU}, $(nproc) cores, Linux $(uname -r)"
echo "Display: Xvfb $DISPLAY 1280x1024x24, no window manager; $runs alternating runs of each"
if ((runs < 20)); then
    echo "(Fewer than 20 runs: the start-up and memory figures are only indicative.)"
fi
echo
printf '%-34s %12s %12s %10s %10s  %s\n' "Figure" "launcher" "reference" "ratio" "target" "result"
printf '%-34s %12s %12s %10s %10s  %s\n' "Start-up to first paint (median)" \
    "$(printf '%.1f ms' "$launcher_paint")" "$(printf '%.1f ms' "$reference_paint")" \
    "$paint_ratio" "<= 1.10" "$(verdict "$paint_ratio" "<=" 1.10)"
printf '%-34s %12s %12s %10s %10s  %s\n' "Peak RSS, VmHWM (median)" \
    "$(awk -v k="$launcher_hwm" 'BEGIN { printf "%.1f MiB", k / 1024 }')" \
    "$(awk -v k="$reference_hwm" 'BEGIN { printf "%.1f MiB", k / 1024 }')" \
    "$hwm_ratio" "<= 1.10" "$(verdict "$hwm_ratio" "<=" 1.10)"
printf '%-34s %12s %12s %10s\n' "CPU to first paint + settle (med.)" \
    "$(printf '%.1f ms' "$launcher_cpu")" "$(printf '%.1f ms' "$reference_cpu")" \
    "$(ratio "$launcher_cpu" "$reference_cpu")"
printf '%-34s %12s %12s %10s %10s  %s\n' "CPU while waiting ${wait_seconds} s" \
    "$wait_cpu_judged ms" "-" "-" "< 20 ms" "$(verdict "$wait_cpu_judged" "<" 20)"
printf '%-34s %12s\n' "  utime+stime, /proc/<pid>/stat" "$wait_cpu_ms ms"
printf '%-34s %12s\n' "Wake-ups while waiting (main)" "$wait_wakeups"
printf '%-34s %12s\n' "  same, all $wait_threads threads" "$wait_wakeups_all"
printf '%-34s %12s %12s %10s %10s  %s\n' "Exit status after the IDE ended" "$waiting_status" \
    "-" "-" "0" "$([[ "$waiting_status" == 0 ]] && echo MET || echo "NOT MET")"
echo
printf 'Start-up runs, launcher (ms):  %s\n' "$(sort -g "$work/launcher.paint" | tr '\n' ' ')"
printf 'Start-up runs, reference (ms): %s\n' "$(sort -g "$work/reference.paint" | tr '\n' ' ')"
