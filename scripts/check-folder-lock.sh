#!/usr/bin/env bash
# The folder lock end to end, with the real program offscreen and the companion: a second program on
# the same folder is refused with its message and changes nothing; a writing command of the
# companion is refused (exit status 3) while the program runs; a program killed with SIGKILL leaves
# its files whole and the next start works. The same again on a folder of a second mount (tmpfs),
# standing in for a shared folder; skipped with a message where the sandbox does not allow mounting.
# Usage: check-folder-lock.sh VARNHOLT VARNHOLT_CLI PROBE_PLUGIN_FOLDER
set -euo pipefail
prog=$1 cli=$2
export QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH=$3 QT_QPA_GENERIC_PLUGINS=varnholtprobe
work=$(mktemp -d)
mounted=""
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
    [[ -z "$mounted" ]] || umount "$mounted" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "check-folder-lock: $*" >&2
    for f in "$work"/*.log; do [[ -e "$f" ]] && { echo "--- ${f##*/}"; cat "$f"; } >&2; done
    exit 1
}

# Starts the program on a folder in the background, its probe reports in LOG; extra NAME=VALUE
# arguments go to its environment. Sets $pid.
start() {
    local home=$1 log=$2
    shift 2
    env VARNHOLT_HOME="$home" VARNHOLT_PROBE_T0="$(date +%s%N)" "$@" "$prog" 2>"$log" &
    pid=$!
    pids+=("$pid")
}
# Waits until LOG holds TEXT (up to 60 s), failing if the process ends first.
wait_for() {
    local log=$1 text=$2 p=$3
    for _ in $(seq 600); do
        grep -qF "$text" "$log" && return 0
        kill -0 "$p" 2>/dev/null || fail "the program ended before '$text'"
        sleep 0.1
    done
    fail "no '$text' within 60 s"
}
# Checksums of the folder's files, the lock file aside.
sums() { (cd "$1" && find . -type f ! -name Varnholt.lock -print0 | sort -z | xargs -0 -r sha256sum); }

check_folder() {
    local home=$1 tag=$2
    mkdir -p "$home"
    # The companion makes the folder's files: the sample data with one run added.
    local analyte
    analyte=$("$cli" --home "$home" analytes | sed -n 's/^{"analytes":\[{"Name":"\([^"]*\)".*/\1/p')
    [[ -n "$analyte" ]] || fail "$tag: no analyte in the sample data"
    "$cli" --home "$home" add "$analyte" 2026-03-01 08:00 1 >/dev/null || fail "$tag: the companion could not write"
    # First program (its about box answered by the probe).
    start "$home" "$work/$tag-first.log"
    local first=$pid
    wait_for "$work/$tag-first.log" "main window shown" "$first"
    sleep 0.5
    local before
    before=$(sums "$home")

    # Second program on the same folder: refused with its message, exit status 1, nothing written.
    start "$home" "$work/$tag-second.log" VARNHOLT_PROBE_QUIT_MS=200
    local second=$pid status=0
    wait "$second" || status=$?
    [[ $status -eq 1 ]] || fail "$tag: the second program ended with $status, not 1"
    grep -qF "QMessageBox: Varnholt is already running on the folder $home" "$work/$tag-second.log" ||
        fail "$tag: the second program did not say the folder is in use"
    ! grep -qF "main window shown" "$work/$tag-second.log" || fail "$tag: the second program opened"

    # The companion: reading works, writing is refused with exit status 3.
    "$cli" --home "$home" analytes >/dev/null || fail "$tag: the companion could not read"
    status=0
    "$cli" --home "$home" add "Any" 2026-03-01 08:00 1 2>"$work/$tag-cli.log" || status=$?
    [[ $status -eq 3 ]] || fail "$tag: a writing command ended with $status while the program ran, not 3"
    [[ "$(sums "$home")" == "$before" ]] || fail "$tag: files changed by the refused programs"

    # SIGKILL: the files stay whole, the next start works and ends normally.
    kill -9 "$first"
    wait "$first" 2>/dev/null || true
    [[ "$(sums "$home")" == "$before" ]] || fail "$tag: files changed by the killed program"
    start "$home" "$work/$tag-third.log" VARNHOLT_PROBE_QUIT_MS=200
    local third=$pid
    status=0
    wait "$third" || status=$?
    [[ $status -eq 0 ]] || fail "$tag: the start after SIGKILL ended with $status"
    grep -qF "main window shown" "$work/$tag-third.log" || fail "$tag: no main window after SIGKILL"
    ! grep -qF "already running" "$work/$tag-third.log" || fail "$tag: the killed program's lock held"
    ! grep -qF "QMessageBox" "$work/$tag-third.log" || fail "$tag: a message at the start after SIGKILL"

    # With the program ended, the companion writes.
    "$cli" --home "$home" add "$analyte" 2026-03-01 09:00 1 >/dev/null 2>>"$work/$tag-cli.log" ||
        fail "$tag: the companion could not write after the program ended"
    rm -f "$work/$tag"-*.log
    echo "check-folder-lock: $tag folder: second program, companion and SIGKILL as expected"
}

check_folder "$work/local" local

mkdir "$work/mnt"
if [[ $(id -u) -eq 0 ]] && mount -t tmpfs -o size=64m varnholt-test "$work/mnt" 2>/dev/null; then
    mounted="$work/mnt"
    check_folder "$work/mnt/shared" mounted
else
    echo "check-folder-lock: SKIPPED the second-mount check: mounting a tmpfs is not allowed here"
fi
