#!/usr/bin/env bash
# Start-up time of the real program (offscreen) on a data file made by the random generator:
# from launch to the main window's first paint (its lists filled), less the splash's fixed 2 s wait.
# Usage: scripts/measure-startup.sh [BUILD_DIR [ANALYTES [RUNS_PER_ANALYTE [STARTS]]]]
# Defaults: build, 667 analytes of 500 runs on 3 levels (1,000,500 level values), 5 starts.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
analytes=${2:-667} runs=${3:-500} starts=${4:-5}
splash_ms=2000
ninja -C "$build" -j2 varnholt make_datafile varnholt_probe >/dev/null
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
"$build/tests/program/make_datafile" "$home" "$analytes" "$runs"
ls -l "$home/Varnholt.qcf" | awk '{printf "data file: %.1f MB\n", $5 / 1e6}'

export QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH=$build/tests/program/plugins
export QT_QPA_GENERIC_PLUGINS=varnholtprobe
export VARNHOLT_HOME=$home VARNHOLT_PROBE_QUIT_MS=100
results=()
for i in $(seq 0 "$starts"); do
    log=$(VARNHOLT_PROBE_T0=$(date +%s%N) "$build/varnholt" 2>&1 >/dev/null) || true
    splash=$(sed -n 's/^probe: \([0-9.]*\) ms window shown TWinLogoCQ.*/\1/p' <<<"$log" | head -1)
    main=$(sed -n 's/^probe: \([0-9.]*\) ms main window painted.*/\1/p' <<<"$log" | head -1)
    if grep -q "dialog shown" <<<"$log"; then
        echo "a dialog came up during the start:"; echo "$log"; exit 1
    fi
    if [[ -z "$main" || -z "$splash" ]]; then
        echo "no main window or splash reported:"; echo "$log"; exit 1
    fi
    # The first start warms the page cache and is not counted.
    ((i == 0)) && continue
    aside=$(awk -v m="$main" -v s="$splash_ms" 'BEGIN {printf "%.0f", m - s}')
    printf "start %d: splash at %.0f ms, main window painted at %.0f ms, splash aside %s ms\n" \
        "$i" "$splash" "$main" "$aside"
    results+=("$aside")
done
printf '%s\n' "${results[@]}" | sort -n |
    awk '{v[NR] = $1}
         END {printf "splash aside: median %d ms, worst %d ms over %d starts\n",
                     v[int((NR + 1) / 2)], v[NR], NR}'
