#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Debian's and freedesktop's own checkers on a package built by build_package.sh:
# lintian (pedantic, informational tags included), appstreamcli and
# desktop-file-validate. Any finding fails, except what the package's lintian
# overrides name with their reason, and the upper-case letters of the
# component id, which is the desktop entry's id.
# Usage: checkers.sh PACKAGE_DIR
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
require_command lintian lintian
require_command appstreamcli appstream
require_command desktop-file-validate desktop-file-utils

package_dir=$1
packages=("$package_dir"/*.deb)
[[ -f ${packages[0]} ]] || fail "no package in $package_dir"
unpacked=$package_dir/unpacked

# lintian warns on stderr when run as root, which CI does.
findings=$(lintian --info --pedantic --fail-on none "${packages[0]}" 2>&1 |
    grep -v '^running with root privileges' || true)
echo "lintian: ${findings:-no finding}"
[[ -z $findings ]] || problem "lintian: $findings"

metainfo=$unpacked/usr/share/metainfo/$APP_ID.metainfo.xml
status=0
output=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1) || status=$?
echo "appstreamcli: $output"
findings=$(grep -E '^[EWIP]: ' <<<"$output" | grep -vE "^P: $APP_ID:[0-9]+: cid-contains-uppercase-letter " || true)
if ((status != 0)) || [[ -n $findings ]]; then
    problem "appstreamcli validate (status $status): $findings"
fi

for entry in "$unpacked/usr/share/applications/$APP_ID.desktop" \
    "$unpacked/opt/quellix/share/applications/$APP_ID.desktop"; do
    validate_desktop_file "$entry" "${entry#"$unpacked"}: "
done
echo "desktop-file-validate: done"
finish
