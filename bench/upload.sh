#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times m68k-upload loading an image onto each board's fake boot monitor (a
# pseudo-terminal paced at the board's baud rate, see tests/uploader), against
# the line-rate limit: every character sent at 10 bits at the baud rate plus
# the monitor's store time per record. Prints a table with the target
# (<= 1.10 times the limit); exits 0 whenever the measurements ran.
#
# Environment: QUELLIX_BUILD_DIR (default build/), QUELLIX_BENCH_IMAGE_BYTES
# (the image's size, default 16384).
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$(cd "${QUELLIX_BUILD_DIR:-$source_dir/build}" 2>/dev/null && pwd)" || {
    echo "No build directory: run scripts/setup.sh first." >&2
    exit 1
}
image_bytes="${QUELLIX_BENCH_IMAGE_BYTES:-16384}"
if [[ ! "$image_bytes" =~ ^[1-9][0-9]*$ ]]; then
    echo "QUELLIX_BENCH_IMAGE_BYTES must be a positive integer." >&2
    exit 1
fi
uploader="$build_dir/uploader/m68k-upload"
fake="$build_dir/tests/uploader/uploader_fake_monitor"
for program in "$uploader" "$fake"; do
    if [[ ! -x "$program" ]]; then
        echo "Missing $program: build the targets m68k-upload and uploader_fake_monitor." >&2
        exit 1
    fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/quellix-bench-upload.XXXXXX")"
fake_pid=
clean_up() {
    if [[ -n "$fake_pid" ]]; then
        kill "$fake_pid" 2>/dev/null || true
        wait "$fake_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap clean_up EXIT

# An image as the packs' Makefiles write it: S0, S3 records of 16 bytes from
# FIRST on, S7 with the entry FIRST + 0x400.
write_image() {
    local first=$1 size=$2
    awk -v first="$((first))" -v size="$size" '
        function record(type, address, count, data,    bytes, sum, i, line) {
            bytes = sprintf("%02X%08X%s", count + 5, address, data)
            sum = count + 5
            for (i = 0; i < 4; i++) sum += int(address / 256 ^ i) % 256
            for (i = 1; i <= count; i++) sum += value[i]
            printf "S%d%s%02X\n", type, bytes, 255 - sum % 256
        }
        BEGIN {
            srand(1)
            print "S00C0000626F6172642E733337E0"
            for (offset = 0; offset < size; offset += 16) {
                count = size - offset < 16 ? size - offset : 16
                data = ""
                for (i = 1; i <= count; i++) {
                    value[i] = int(rand() * 256)
                    data = data sprintf("%02X", value[i])
                }
                record(3, first + offset, count, data)
            }
            record(7, first + 1024, 0, "")
        }'
}

echo "Loading $image_bytes bytes onto each board's fake monitor ..." >&2
rows=()
for pack in palpack51 dunpack115 vespack113 lnpack206; do
    profile="$build_dir/demo-root/$pack/lib/board.profile"
    value() { sed -n "s/^$1=//p" "$profile"; }
    board=$(value board)
    monitor=$(value monitor)
    baud=$(value baud)
    flash=$(value flash)
    store_ms=$([[ $monitor == 68000 ]] && echo 5 || echo 1)
    write_image "${flash%-*}" "$image_bytes" >"$work/$pack.s37"

    rm -f "$work/path"
    "$fake" "$monitor" "$baud" "$flash" "$work/path" >"$work/stats" &
    fake_pid=$!
    for _ in {1..100}; do
        [[ -s "$work/path" ]] && break
        sleep 0.05
    done
    [[ -s "$work/path" ]] || {
        echo "The fake monitor did not start." >&2
        exit 1
    }
    start=$(date +%s.%N)
    "$uploader" --port "$(<"$work/path")" --profile "$profile" "$work/$pack.s37" >"$work/out" 2>&1 || {
        echo "m68k-upload failed on $board:" >&2
        cat "$work/out" >&2
        exit 1
    }
    end=$(date +%s.%N)
    # The monitor holds the line until the uploader is done with it.
    for _ in {1..100}; do
        [[ -s "$work/stats" ]] && break
        sleep 0.05
    done
    kill "$fake_pid"
    wait "$fake_pid" || true
    fake_pid=
    read -r characters records stored lost loads <"$work/stats"
    if [[ $stored -ne $image_bytes || $lost -ne 0 || $loads -ne 1 ]]; then
        echo "$board: the monitor stored $stored bytes, lost $lost characters, $loads loads." >&2
        exit 1
    fi
    rows+=("$(awk -v board="$board" -v baud="$baud" -v records="$records" -v chars="$characters" \
        -v store="$store_ms" -v start="$start" -v end="$end" 'BEGIN {
            limit = chars * 10 / baud + records * store / 1000
            time = end - start
            ratio = time / limit
            printf "%-13s %7d %8d %8d %9.2f s %8.2f s %6.3f  %s\n", board, baud, records, chars,
                limit, time, ratio, (ratio <= 1.10) ? "MET" : "NOT MET"
        }')")
done

cpu_model="$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)"
echo
echo "Machine: ${cpu_model:-unknown CPU}, $(nproc) cores, Linux $(uname -r)"
echo "Image: $image_bytes bytes in S3 records of 16 bytes, sent as the profile's records of 32"
echo "Limit: characters sent x 10 bits / baud + records x store time (5 ms 68000, 1 ms CPU32)"
echo "Target: time <= 1.10 x limit"
echo
printf '%-13s %7s %8s %8s %11s %10s %6s  %s\n' Board Baud Records Chars Limit Time Ratio Result
printf '%s\n' "${rows[@]}"
