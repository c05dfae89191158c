#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fixture: builds the Debian package with CPack into a fresh directory and
# unpacks it beside, in unpacked/.
# Usage: build_package.sh CPACK BUILD_DIR OUTPUT_DIR
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
require_command dpkg-shlibdeps dpkg-dev

cpack=$1 build_dir=$2 output_dir=$3
reset_directory "$output_dir"
"$cpack" --config "$build_dir/CPackConfig.cmake" -G DEB -B "$output_dir" >"$output_dir/cpack.log" 2>&1 || {
    cat "$output_dir/cpack.log" >&2
    fail "cpack -G DEB failed"
}
packages=("$output_dir"/*.deb)
[[ ${#packages[@]} == 1 && -f ${packages[0]} ]] ||
    fail "cpack made ${#packages[@]} packages in $output_dir, not one"
dpkg-deb -x "${packages[0]}" "$output_dir/unpacked" || fail "dpkg-deb cannot unpack ${packages[0]}"
echo "Built ${packages[0]}"
