#!/usr/bin/env bash
# Renders the main window with sample data and each small window to PNG files under the offscreen
# platform, for review and for the README. Usage: scripts/screenshots.sh [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-screenshots}"
scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j 2 --target test_screenshots
mkdir -p "$out"
QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96 VARNHOLT_SCREENSHOTS="$(cd "$out" && pwd)" build/tests/gui/test_screenshots
# The main window at three display sizes, scaled as the program scales it at start.
for factor in 1 1.5 2; do
    QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96 QT_SCALE_FACTOR=$factor VARNHOLT_SCREENSHOTS="$(cd "$out" && pwd)" \
        build/tests/gui/test_screenshots mainWindowAtDisplaySize
done
echo "Screenshots written to $out/"
ls "$out"
