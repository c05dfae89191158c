#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets everything up, builds the launcher, the IDE and the demonstration
# installation root (the test suite is built by run-tests.sh), then starts the
# launcher in that root.
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${QUELLIX_BUILD_DIR:-$source_dir/build}"

# A window nobody can see is no demonstration: say so before building.
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    cat >&2 <<'ADVICE'
No display: the launcher is a window, and this demonstration needs a screen to
show it on. Run this script from a terminal of a graphical desktop session, or
log in with X11 forwarding (ssh -X) and run it there. To build and check
everything without a display, run scripts/run-tests.sh instead.
ADVICE
    exit 1
fi

"$source_dir/scripts/setup.sh" quellix-launcher snavigator demo_root

cd "$build_dir/demo-root"
exec "$build_dir/launcher/quellix-launcher"
