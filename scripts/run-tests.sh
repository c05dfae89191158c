#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets everything up, then runs the whole test suite.
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${QUELLIX_BUILD_DIR:-$source_dir/build}"

"$source_dir/scripts/setup.sh"
ctest --test-dir "$build_dir" --output-on-failure
