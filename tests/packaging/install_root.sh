#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fixture: `cmake --install` of the build into a fresh DESTDIR.
# Usage: install_root.sh CMAKE BUILD_DIR DESTDIR PREFIX
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

cmake=$1 build_dir=$2 destdir=$3 prefix=$4
reset_directory "$destdir"
DESTDIR=$destdir "$cmake" --install "$build_dir" --prefix "$prefix" >"$destdir.log" 2>&1 || {
    cat "$destdir.log" >&2
    fail "cmake --install into $destdir failed"
}
[[ -d $destdir$prefix ]] || fail "cmake --install left no root at $destdir$prefix"
echo "Installed into $destdir$prefix"
