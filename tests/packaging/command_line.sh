#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installed launcher answers --help and --version on standard output, and
# an unknown option with its usage on standard error and status 2, with no
# display and no window; its manual page renders without warnings and
# documents the command line.
# Usage: command_line.sh DESTDIR PREFIX VERSION
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
require_command man man-db

destdir=$1 prefix=$2 version=$3
launcher=$destdir$prefix/bin/quellix-launcher
[[ -x $launcher ]] || fail "no launcher at $launcher"
make_scratch

# arguments | exit status | the stream that answers | its first line
readonly USAGE='Usage: quellix-launcher [--help | --version]'
cases=(
    "--version|0|stdout|quellix-launcher $version"
    "--help|0|stdout|$USAGE"
    "-platform xcb --version|0|stdout|quellix-launcher $version"
    "--platform offscreen -style=Fusion --version|0|stdout|quellix-launcher $version"
    "--help --version|0|stdout|$USAGE"
    "--bogus|2|stderr|quellix-launcher: unknown option '--bogus'"
    "-platform xcb -x --version|2|stderr|quellix-launcher: unknown option '-x'"
)
for case in "${cases[@]}"; do
    IFS='|' read -r arguments expected_status stream first_line <<<"$case"
    other=$([[ $stream == stdout ]] && echo stderr || echo stdout)
    status=0
    # No display and no platform chosen: a window could not even be attempted.
    # shellcheck disable=SC2086 # the arguments are words
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$launcher" $arguments \
        >"$scratch/stdout" 2>"$scratch/stderr" </dev/null || status=$?
    ((status == expected_status)) ||
        problem "[$arguments] status $status, not $expected_status: $(cat "$scratch/stderr")"
    [[ $(head -n 1 "$scratch/$stream") == "$first_line" ]] ||
        problem "[$arguments] first line '$(head -n 1 "$scratch/$stream")', expected '$first_line'"
    [[ $stream == stdout ]] || grep -qxF "$USAGE" "$scratch/stderr" ||
        problem "[$arguments] no usage on stderr: $(cat "$scratch/stderr")"
    [[ ! -s $scratch/$other ]] || problem "[$arguments] printed on $other: $(cat "$scratch/$other")"
done

# Standard output that cannot be written is an error, not a silent success.
if [[ -w /dev/full ]]; then
    status=0
    "$launcher" --version >/dev/full 2>/dev/null || status=$?
    ((status == 1)) || problem "--version to a full device ended with status $status, not 1"
fi

page=$destdir$prefix/share/man/man1/quellix-launcher.1.gz
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >"$scratch/page") ||
    problem "man cannot render $page: $warnings"
[[ -z $warnings ]] || problem "man warns about $page: $warnings"
for section in NAME SYNOPSIS DESCRIPTION OPTIONS ENVIRONMENT 'EXIT STATUS'; do
    grep -qx "$section" "$scratch/page" || problem "the manual page has no section $section"
done
# The text as one line, as justified and wrapped lines give it.
text=$(tr -s ' \n' '  ' <"$scratch/page")
for words in 'working directory is the installation root' PATH MAKE_MODE QPRJ --help --version; do
    [[ $text == *"$words"* ]] || problem "the manual page does not say '$words'"
done
finish
