#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installed launcher, started as its desktop entry says (its command, in
# its working directory), shows its main window on an X server, and no message.
# Usage: launcher_window.sh BASE ENTRY
#   BASE   the directory the tree was installed or unpacked into
#   ENTRY  the desktop entry's installed path, below BASE
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
require_command Xvfb xvfb
require_command xwininfo x11-utils
require_command xprop x11-utils

base=$1 entry=$1$2
readonly TITLE='Quellix Project Management'
readonly MAIN_WINDOW="^0x[0-9a-f]+ _NET_WM_WINDOW_TYPE_NORMAL $TITLE\$"
readonly WAIT_SECONDS=20

[[ -f $entry ]] || fail "no desktop entry at $entry"
command=$(desktop_value "$entry" Exec) || fail "the desktop entry has no Exec"
directory=$(desktop_value "$entry" Path) || fail "the desktop entry has no Path"
# This entry's command is the launcher alone, written plain.
[[ $command =~ ^/[A-Za-z0-9_./+-]+$ ]] || fail "Exec '$command' is not a plain program path"
[[ $directory == /* ]] || fail "Path '$directory' is not absolute"
launcher=$base$command
root=$base$directory
[[ -x $launcher ]] || fail "Exec '$command' names no program below $base"
[[ -d $root ]] || fail "Path '$directory' names no directory below $base"

make_scratch
server_pid='' launcher_pid=''
clean_up() {
    local pid
    for pid in "$launcher_pid" "$server_pid"; do
        if [[ -n $pid ]] && kill "$pid" 2>/dev/null; then
            wait "$pid" 2>/dev/null || true
        fi
    done
}

# A private X server on the first free display.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$scratch/display" 2>"$scratch/xvfb.log" &
server_pid=$!
for ((i = 0; i < 10 * WAIT_SECONDS; i++)); do
    [[ -s $scratch/display ]] && break
    kill -0 "$server_pid" 2>/dev/null || { cat "$scratch/xvfb.log" >&2; fail "Xvfb ended at start"; }
    sleep 0.1
done
display=:$(tr -d '\n' <"$scratch/display")
[[ $display =~ ^:[0-9]+$ ]] || fail "Xvfb gave no display number in $WAIT_SECONDS s"

(
    cd "$root"
    export DISPLAY=$display QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY
    exec "$launcher"
) >"$scratch/stdout" 2>"$scratch/stderr" &
launcher_pid=$!

ended() {
    local status=0
    wait "$launcher_pid" || status=$?
    launcher_pid=''
    cat "$scratch/stderr" >&2
    fail "the launcher ended with status $status before $1"
}

# Viewable top-level windows of the launcher: "id type title" a line.
launcher_windows() {
    local id properties type
    for id in $(xwininfo -display "$display" -root -children | awk '$1 ~ /^0x/ { print $1 }'); do
        xwininfo -display "$display" -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' ||
            continue
        properties=$(xprop -display "$display" -id "$id" _NET_WM_PID _NET_WM_WINDOW_TYPE \
            _NET_WM_NAME 2>/dev/null) || continue
        grep -qxF "_NET_WM_PID(CARDINAL) = $launcher_pid" <<<"$properties" || continue
        type=$(sed -nE 's/^_NET_WM_WINDOW_TYPE\(ATOM\) = ([A-Z_]+).*/\1/p' <<<"$properties")
        printf '%s %s %s\n' "$id" "${type:-none}" \
            "$(sed -nE 's/^_NET_WM_NAME\(UTF8_STRING\) = "(.*)"$/\1/p' <<<"$properties")"
    done
}

shown=''
for ((i = 0; i < 10 * WAIT_SECONDS; i++)); do
    kill -0 "$launcher_pid" 2>/dev/null || ended "it showed its window"
    windows=$(launcher_windows)
    shown=$(grep -E "$MAIN_WINDOW" <<<"$windows" || true)
    [[ -n $shown ]] && break
    sleep 0.1
done
[[ -n $shown ]] || fail "no window '$TITLE' was shown in $WAIT_SECONDS s (windows: ${windows:-none})"
echo "Shown: $shown"

# Still up a moment later, with nothing else on screen and nothing said.
sleep 1
kill -0 "$launcher_pid" 2>/dev/null || ended "the test stopped it"
windows=$(launcher_windows)
others=$(grep -vE "$MAIN_WINDOW" <<<"$windows" || true)
[[ -z $others ]] || problem "the launcher shows other windows too: $others"
[[ $(readlink "/proc/$launcher_pid/cwd") == "$(cd "$root" && pwd -P)" ]] ||
    problem "the launcher runs in $(readlink "/proc/$launcher_pid/cwd"), not in $root"
# The desktop matches the window to its entry through the window's class.
wm_class=$(xprop -display "$display" -id "${shown%% *}" WM_CLASS |
    sed -nE 's/^WM_CLASS\(STRING\) = "[^"]*", "([^"]*)"$/\1/p')
[[ -n $wm_class && $wm_class == "$(desktop_value "$entry" StartupWMClass)" ]] ||
    problem "the window's class '$wm_class' is not the entry's StartupWMClass"
[[ ! -s $scratch/stderr ]] || problem "the launcher printed: $(cat "$scratch/stderr")"
finish
