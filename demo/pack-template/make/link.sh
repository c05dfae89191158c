# SPDX-License-Identifier: MIT
# shellcheck shell=sh
# Read with "." by the pack Makefile's link recipe: removes the old images
# (a compilation has done it already if one ran), and defines what the recipe
# calls after each step: link_failed, srec_failed, which remove what the step
# left, and report_memory.

name=${PWD##*/}
if [ -e "./$name.elf" ] || [ -e "./$name.s37" ]; then rm -f "./$name.elf" "./$name.s37"; fi

link_failed() {
    rm -f "./$name.elf"
    echo "error: ./$name.elf did not link (see above)" >&2
    exit 1
}

srec_failed() {
    rm -f "./$name.elf" "./$name.s37"
    echo "error: ./$name.s37 was not written (see above)" >&2
    exit 1
}

# report_memory file: prints the ROM and RAM used against the sizes of the
# memory map, from the linker's own view of it (--print-memory-usage) in file,
# reworded by the shell alone.
report_memory() {
    report=
    while read -r region used used_unit size size_unit _; do
        case $region in ROM: | RAM:) ;; *) continue ;; esac
        in_bytes "$used" "$used_unit"
        used=$bytes
        in_bytes "$size" "$size_unit"
        size=$bytes
        tenths=$(((used * 1000 + size / 2) / size))
        grouped "$used"
        used=$digits
        grouped "$size"
        report="$report${report:+, }${region%:} $used / $digits bytes ($((tenths / 10)).$((tenths % 10)) %)"
    done <"$1"
    [ -z "$report" ] || echo "$report"
}

# in_bytes count unit: sets bytes.
in_bytes() {
    case $2 in
    KB) bytes=$(($1 << 10)) ;;
    MB) bytes=$(($1 << 20)) ;;
    GB) bytes=$(($1 << 30)) ;;
    *) bytes=$1 ;;
    esac
}

# grouped number: sets digits to number with its digits in groups of three.
grouped() {
    digits=$1
    groups=
    while [ ${#digits} -gt 3 ]; do
        groups=" ${digits#"${digits%???}"}$groups"
        digits=${digits%???}
    done
    digits=$digits$groups
}
