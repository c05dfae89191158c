#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installed tree is a complete installation root under the prefix, with the
# run bits where they belong, and the install wrote nothing outside the prefix.
# Usage: install_layout.sh SOURCE_DIR DESTDIR PREFIX
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

source_dir=$1 destdir=$2 prefix=$3
check_root "$destdir$prefix" "$source_dir"

outside=$(cd "$destdir" && find . -mindepth 1 -not -path ".$prefix" -not -path ".$prefix/*" \
    -not -type d -printf '%P\n')
[[ -z $outside ]] || problem "installed outside the prefix $prefix: $outside"
finish
