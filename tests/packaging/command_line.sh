#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installed launcher answers --help and --version on standard output with
# no display and shows no window; its manual page renders without warnings and
# documents what the issue asked for.
# Usage: command_line.sh DESTDIR PREFIX VERSION
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
require_command man man-db

destdir=$1 prefix=$2 version=$3
launcher=$destdir$prefix/bin/quellix-launcher
[[ -x $launcher ]] || fail "no launcher at $launcher"
make_scratch

# arguments | what the first line of standard output must be
cases=(
    "--version|quellix-launcher $version"
    "--help|Usage: quellix-launcher [--help | --version]"
    "-platform xcb --version|quellix-launcher $version"
    "--help --version|Usage: quellix-launcher [--help | --version]"
)
for case in "${cases[@]}"; do
    IFS='|' read -r arguments first_line <<<"$case"
    status=0
    # No display and no platform chosen: a window could not even be attempted.
    # shellcheck disable=SC2086 # the arguments are words
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$launcher" $arguments \
        >"$scratch/stdout" 2>"$scratch/stderr" </dev/null || status=$?
    ((status == 0)) || problem "[$arguments] status $status: $(cat "$scratch/stderr")"
    [[ $(head -n 1 "$scratch/stdout") == "$first_line" ]] ||
        problem "[$arguments] first line '$(head -n 1 "$scratch/stdout")', expected '$first_line'"
    [[ ! -s $scratch/stderr ]] || problem "[$arguments] printed on stderr: $(cat "$scratch/stderr")"
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
