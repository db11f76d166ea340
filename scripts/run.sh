#!/usr/bin/env bash
# Builds Varnholt and starts it: installs the Debian packages it needs (Qt, fonts), configures,
# builds the program and runs build/varnholt. Without a display it says how to start under xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target varnholt
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found. To start Varnholt on a virtual display, run:"
    echo "    xvfb-run -a -s '-screen 0 1024x768x24 -dpi 96' build/varnholt"
    echo "or set DISPLAY to a running X server."
    exit 1
fi
exec build/varnholt "$@"
