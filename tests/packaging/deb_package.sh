#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package: its control fields and dependencies, the paths it lists
# with their modes (not /opt itself, which is the system's), the desktop entry
# it puts where desktops look and the command it puts on PATH.
# Usage: deb_package.sh SOURCE_DIR PACKAGE_DIR VERSION
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
require_command desktop-file-validate desktop-file-utils
require_command dpkg-architecture dpkg-dev
require_command readelf binutils

source_dir=$1 package_dir=$2 version=$3
readonly PREFIX=/opt/quellix
readonly DECLARED_DEPENDS=(gcc-m68k-linux-gnu g++-m68k-linux-gnu binutils-m68k-linux-gnu make)

architecture=$(dpkg --print-architecture)
package=$package_dir/quellix-launcher_${version}_$architecture.deb
[[ -f $package ]] || fail "no package $package (found: $(ls "$package_dir"))"

# Control fields.
field() { dpkg-deb -f "$package" "$1"; }
[[ $(field Package) == quellix-launcher ]] || problem "Package is '$(field Package)'"
[[ $(field Version) == "$version" ]] || problem "Version is '$(field Version)', not $version"
[[ $(field Architecture) == "$architecture" ]] || problem "Architecture is '$(field Architecture)'"
[[ $(field Section) == devel ]] || problem "Section is '$(field Section)', not devel"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] ||
    problem "Maintainer '$(field Maintainer)' is not 'Name <address>'"
[[ -n $(field Description) ]] || problem "the package has no Description"
[[ $(field Recommends) == *xdg-utils* ]] || problem "Recommends lacks xdg-utils: $(field Recommends)"

# Dependencies: the declared ones and, as dpkg-shlibdeps adds them, the packages
# that hold every library the programs load, and Qt's X11 platform plugin.
depends=$(field Depends | sed -E 's/[,|]/\n/g' | sed -E 's/\(.*\)//; s/:any//; s/^ +//; s/ +$//' | sort -u)
depends_on() { grep -qxF -- "$1" <<<"$depends"; }
for name in "${DECLARED_DEPENDS[@]}"; do
    depends_on "$name" || problem "Depends lacks $name: $(field Depends)"
done
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
# The packages that hold a file matching */MULTIARCH/PATTERN, one a line.
owners() {
    dpkg-query -S "*/$multiarch/$1" 2>/dev/null | sed -E 's/: .*//; s/, /\n/g' | sed -E 's/:.*//'
}
needed=$(for program in bin/quellix-launcher SN451/bin/snavigator.exe BIN/m68k-upload; do
    readelf -d "$package_dir/unpacked$PREFIX/$program" | sed -nE 's/.*\(NEEDED\).*\[(.*)\]/\1/p'
done | sort -u)
[[ -n $needed ]] || problem "the packaged programs name no libraries"
for library in $needed '*/platforms/libqxcb.so'; do
    holders=$(owners "$library" || true)
    [[ -n $holders ]] || { problem "no installed package holds $library"; continue; }
    grep -qxF -f <(echo "$holders") <<<"$depends" ||
        problem "Depends lacks ${holders//$'\n'/ or }, which holds $library: $(field Depends)"
done

# Contents: the installation root under the prefix and the desktop files under
# /usr/share, as "mode path" for every entry that is not a directory.
contents=$(dpkg-deb --contents "$package")
expected=$({
    expected_root_files "$source_dir" "$package_dir/unpacked$PREFIX" | sed "s|^\([0-9]*\) |\1 ${PREFIX#/}/|"
    printf '644 usr/%s\n' "${DESKTOP_FILES[@]}"
    printf '644 usr/share/%s\n' "${PACKAGE_DOCUMENTS[@]}"
    echo "755 usr/bin/quellix-launcher"
} | sort -k2)
listed=$(awk '
    function octal(mode,    value, i) {
        value = 0
        for (i = 2; i <= 10; i++) value = value * 2 + (substr(mode, i, 1) != "-")
        return sprintf("%o", value)
    }
    substr($1, 1, 1) != "d" { sub(/^\.\//, "", $6); print octal($1), $6 }' <<<"$contents" | sort -k2)
if [[ $expected != "$listed" ]]; then
    problem "dpkg-deb --contents differs from the expected files (< expected, > listed):"
    diff <(echo "$expected") <(echo "$listed") >&2 || true
fi
for directory in "${EMPTY_DIRECTORIES[@]}"; do
    grep -qE "^d\S+ \S+ +0 \S+ \S+ \./${PREFIX#/}/${directory//./\\.}/$" <<<"$contents" ||
        problem "dpkg-deb --contents lists no directory $PREFIX/$directory"
done
! grep -qE ' \./opt/$' <<<"$contents" || problem "the package lists /opt, which dpkg would try to remove"
grep -qE "^d\S+ \S+ +0 \S+ \S+ \.$PREFIX/$" <<<"$contents" || problem "the package lists no $PREFIX"
others=$(awk '$2 != "root/root"' <<<"$contents")
[[ -z $others ]] || problem "entries not owned by root: $others"

# What the package unpacks to.
unpacked=$package_dir/unpacked
check_root "$unpacked$PREFIX" "$source_dir"
for file in "${DESKTOP_FILES[@]}"; do
    cmp "$unpacked$PREFIX/$file" "$unpacked/usr/$file" ||
        problem "/usr/$file differs from $PREFIX/$file"
done
entry=$unpacked/usr/${DESKTOP_FILES[0]}
validate_desktop_file "$entry" ""
[[ $(desktop_value "$entry" Exec) == "$PREFIX/bin/quellix-launcher" ]] ||
    problem "Exec is '$(desktop_value "$entry" Exec)'"
[[ $(desktop_value "$entry" Path) == "$PREFIX" ]] || problem "Path is '$(desktop_value "$entry" Path)'"

# The command on PATH starts the launcher in the root, with the arguments
# intact: tried with the root where the package was unpacked.
make_scratch
on_path=$unpacked/usr/bin/quellix-launcher
sed "s|'$PREFIX|'$unpacked$PREFIX|g" "$on_path" >"$scratch/command"
status=0
(cd / && sh "$scratch/command" '--bo gus') 2>"$scratch/stderr" || status=$?
[[ $status == 2 && $(head -n 1 "$scratch/stderr") == "quellix-launcher: unknown option '--bo gus'" ]] ||
    problem "the command on PATH ended with status $status: $(cat "$scratch/stderr")"
grep -qxF "cd '$PREFIX' || exit 1" "$on_path" || problem "the command on PATH does not go to $PREFIX"
finish
