#!/usr/bin/env bash
# Sets everything up, then starts the launcher in the demonstration installation root.
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${QUELLIX_BUILD_DIR:-$source_dir/build}"

"$source_dir/scripts/setup.sh"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display: start it under Xvfb instead, with: xvfb-run -a $0" >&2
    exit 1
fi

cd "$build_dir/demo-root"
exec "$build_dir/launcher/quellix-launcher"
