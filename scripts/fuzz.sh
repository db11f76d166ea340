#!/usr/bin/env bash
# Fuzzes one reader for a while with libFuzzer (clang, AddressSanitizer and UndefinedBehaviorSanitizer)
# and ends with a non-zero status when the fuzzer found a crash, a leak or a timeout, whatever status
# libFuzzer itself ended with. The corpus grows in a copy; findings are kept in build-fuzz/findings/.
# Usage: scripts/fuzz.sh TARGET [SECONDS]      e.g. scripts/fuzz.sh fuzz_datafile_pieces 600
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS]}
seconds=${2:-600}
[[ -d fuzz/corpus/$target ]] || { echo "fuzz.sh: no target $target (see fuzz/corpus/)" >&2; exit 2; }
scripts/deps.sh
if [[ ! -f build-fuzz/build.ninja ]]; then
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVARNHOLT_FUZZ=ON -DVARNHOLT_GUI=OFF \
          -DVARNHOLT_BENCH=OFF "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined"
fi
ninja -C build-fuzz "$target"
corpus=build-fuzz/corpus/$target findings=build-fuzz/findings/$target
mkdir -p "$corpus" "$findings"
cp -n fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
status=0
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    build-fuzz/fuzz/"$target" -max_total_time="$seconds" -artifact_prefix="$findings/" "$corpus" || status=$?
found=$(find "$findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
if ((status != 0 || found > 0)); then
    echo "fuzz.sh: $target found $found failing inputs (libFuzzer ended with $status); see $findings" >&2
    exit 1
fi
echo "fuzz.sh: $target ran $seconds s without a finding"
