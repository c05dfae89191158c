#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The desktop entry is written for the prefix given at install time, with
# Exec quoted and escaped as desktop entries require, whatever the prefix holds.
# Usage: desktop_entry_prefixes.sh CMAKE BUILD_DIR
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
require_command desktop-file-validate desktop-file-utils

cmake=$1 build_dir=$2
make_scratch

# prefix | Exec as written in the file | Path as written in the file
# shellcheck disable=SC2016 # the dollar signs are literal
cases=(
    '/opt/quellix|/opt/quellix/bin/quellix-launcher|/opt/quellix'
    '/opt/quellix/|/opt/quellix/bin/quellix-launcher|/opt/quellix'
    '/srv/robot tools|"/srv/robot tools/bin/quellix-launcher"|/srv/robot tools'
    '/srv/100%|/srv/100%%/bin/quellix-launcher|/srv/100%'
    "/srv/it's|\"/srv/it's/bin/quellix-launcher\"|/srv/it's"
    '/srv/a$b"c`d|"/srv/a\\$b\\"c\\`d/bin/quellix-launcher"|/srv/a$b"c`d'
    '/srv/a~(b)#c|"/srv/a~(b)#c/bin/quellix-launcher"|/srv/a~(b)#c'
    '/srv/zoé/robot|/srv/zoé/robot/bin/quellix-launcher|/srv/zoé/robot'
)
number=0
check_prefix() {
    local prefix=$1 exec=$2 path=$3
    number=$((number + 1))
    local destdir=$scratch/$number
    if ! DESTDIR=$destdir "$cmake" --install "$build_dir" --prefix "$prefix" >"$destdir.log" 2>&1; then
        cat "$destdir.log" >&2
        problem "[$prefix] cmake --install failed"
        return
    fi
    local entry=$destdir${prefix%/}/share/applications/$APP_ID.desktop
    if [[ ! -f $entry ]]; then
        problem "[$prefix] no desktop entry at $entry"
        return
    fi
    validate_desktop_file "$entry" "[$prefix] "
    [[ $(desktop_value "$entry" Exec) == "$exec" ]] ||
        problem "[$prefix] Exec is '$(desktop_value "$entry" Exec)', expected '$exec'"
    [[ $(desktop_value "$entry" Path) == "$path" ]] ||
        problem "[$prefix] Path is '$(desktop_value "$entry" Path)', expected '$path'"
}
for case in "${cases[@]}"; do
    IFS='|' read -r prefix exec path <<<"$case"
    check_prefix "$prefix" "$exec" "$path"
done
# Shell control characters, '|' among them, which the table cannot hold.
check_prefix '/srv/a&b;c|d' '"/srv/a&b;c|d/bin/quellix-launcher"' '/srv/a&b;c|d'

# A relative prefix is taken from the working directory, as for the files.
mkdir "$scratch/cwd"
destdir=$scratch/relative
if ! (cd "$scratch/cwd" && DESTDIR=$destdir "$cmake" --install "$build_dir" --prefix relative/root) \
    >"$destdir.log" 2>&1; then
    cat "$destdir.log" >&2
    problem "[relative/root] cmake --install failed"
fi
root=$scratch/cwd/relative/root
entry=$destdir$root/share/applications/$APP_ID.desktop
if [[ -f $entry ]]; then
    [[ $(desktop_value "$entry" Path) == "$root" ]] ||
        problem "[relative/root] Path is '$(desktop_value "$entry" Path)', expected '$root'"
    [[ -x $destdir$(desktop_value "$entry" Exec) ]] ||
        problem "[relative/root] Exec '$(desktop_value "$entry" Exec)' names no installed program"
else
    problem "[relative/root] no desktop entry at $entry"
fi
finish
