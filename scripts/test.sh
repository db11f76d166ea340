#!/usr/bin/env bash
# Installs what is missing, builds everything, runs every test; builds and checks the Debian package;
# then the core and server tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
# The server tests run against a throwaway PostgreSQL cluster; here they must run, not be skipped.
VARNHOLT_SERVER_TESTS=required QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"
scripts/check-package.sh build

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNHOLT_SANITIZE=ON -DVARNHOLT_GUI=OFF \
      -DVARNHOLT_BENCH=OFF
cmake --build build-asan -j "$jobs"
# The server tests too, against a throwaway cluster of this build's own.
VARNHOLT_SERVER_TESTS=required ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -L 'core|server'
