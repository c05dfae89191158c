#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installed desktop entry is valid, starts the installed launcher in the
# installation root, and names the installed icon.
# Usage: desktop_entry.sh DESTDIR PREFIX
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
require_command desktop-file-validate desktop-file-utils

destdir=$1 prefix=$2
root=$destdir$prefix
entry=$root/share/applications/$APP_ID.desktop
[[ -f $entry ]] || fail "no desktop entry at $entry"

validate_desktop_file "$entry" ""

value() { desktop_value "$entry" "$1" || problem "the desktop entry has no $1"; }
[[ $(value Type) == Application ]] || problem "Type is not Application"
[[ $(value Name) == 'Quellix Project Management' ]] || problem "Name is '$(value Name)'"
[[ $(value Exec) == "$prefix/bin/quellix-launcher" ]] ||
    problem "Exec is '$(value Exec)', not the launcher in $prefix/bin"
[[ -x $destdir$(value Exec) ]] || problem "Exec names no installed program"
[[ $(value Path) == "$prefix" ]] || problem "Path is '$(value Path)', not the root $prefix"
[[ $(value Terminal) == false ]] || problem "Terminal is not false"
[[ $(value 'Name[fr]') == 'Gestion de projets Quellix' ]] || problem "Name[fr] is '$(value 'Name[fr]')'"
[[ -n $(value 'Comment[fr]') ]] || problem "the desktop entry has no Comment[fr]"
[[ ";$(value Categories)" == *";Development;"* ]] || problem "Categories lacks Development"
icon=$(value Icon)
[[ $icon == "$APP_ID" ]] || problem "Icon is '$icon', not $APP_ID"
for size in 32x32/apps/$icon.png scalable/apps/$icon.svg; do
    [[ -f $root/share/icons/hicolor/$size ]] || problem "no icon hicolor/$size for Icon=$icon"
done
finish
