#!/usr/bin/env bash
# The folder lock end to end, with the real program offscreen and the companion: a second program on
# the same folder is refused with its message and changes nothing; a writing command of the
# companion is refused (exit status 3) while the program runs; a program killed with SIGKILL leaves
# its files whole and the next start works. The same again on a folder of a second mount (tmpfs),
# standing in for a shared folder. On small tmpfs mounts, bad media: a read-only folder is refused
# with the reason and nothing changes; a disk that fills while the program runs gets messages at the
# end and every file stays whole. The mounted checks are skipped with a message where the sandbox
# does not allow mounting.
# Usage: check-program-folder.sh VARNHOLT VARNHOLT_CLI PROBE_PLUGIN_FOLDER
set -euo pipefail
prog=$1 cli=$2
export QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH=$3 QT_QPA_GENERIC_PLUGINS=varnholtprobe
work=$(mktemp -d)
mounts=()
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
    for m in "${mounts[@]}"; do umount "$m" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "check-program-folder: $*" >&2
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

# Mounts a tmpfs of SIZE on a new folder under $work; false where mounting is not allowed.
mount_tmpfs() {
    mkdir -p "$1"
    [[ $(id -u) -eq 0 ]] && mount -t tmpfs -o "size=$2" varnholt-test "$1" 2>/dev/null || return 1
    mounts+=("$1")
}
# Seeds a folder with the companion: the sample data with one run added to its first analyte,
# whose name is left in SEED_ANALYTE.
seed() {
    SEED_ANALYTE=$("$cli" --home "$1" analytes | sed -n 's/^{"analytes":\[{"Name":"\([^"]*\)".*/\1/p')
    [[ -n "$SEED_ANALYTE" ]] || fail "no analyte in the sample data of $1"
    "$cli" --home "$1" add "$SEED_ANALYTE" 2026-03-01 08:00 1 >/dev/null ||
        fail "the companion could not seed $1"
}

check_folder() {
    local home=$1 tag=$2
    mkdir -p "$home"
    seed "$home"
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
    "$cli" --home "$home" add "$SEED_ANALYTE" 2026-03-01 09:00 1 >/dev/null 2>>"$work/$tag-cli.log" ||
        fail "$tag: the companion could not write after the program ended"
    rm -f "$work/$tag"-*.log
    echo "check-program-folder: $tag folder: second program, companion and SIGKILL as expected"
}

check_folder "$work/local" local

if ! mount_tmpfs "$work/mnt" 64m; then
    echo "check-program-folder: SKIPPED the mounted checks: mounting a tmpfs is not allowed here"
    exit 0
fi
check_folder "$work/mnt/shared" mounted

# Read-only medium: refused with the system's reason, no main window, nothing changed.
mount_tmpfs "$work/ro" 8m
seed "$work/ro/f"
mount -o remount,ro "$work/ro"
before=$(sums "$work/ro/f")
start "$work/ro/f" "$work/ro.log" VARNHOLT_PROBE_QUIT_MS=200
status=0
wait "$pid" || status=$?
[[ $status -eq 1 ]] || fail "read-only: the program ended with $status, not 1"
grep -qF "Read-only file system" "$work/ro.log" || fail "read-only: no message naming the reason"
! grep -qF "already running" "$work/ro.log" || fail "read-only: said in use"
! grep -qF "main window shown" "$work/ro.log" || fail "read-only: the program opened"
[[ "$(sums "$work/ro/f")" == "$before" ]] || fail "read-only: files changed"
status=0
"$cli" --home "$work/ro/f" add "Any" 2026-03-01 08:00 1 2>/dev/null || status=$?
[[ $status -ne 0 ]] || fail "read-only: the companion reported a write as done"
echo "check-program-folder: read-only folder refused with its reason"

# Full disk at the end: each failed write is reported and every file stays as it was.
mount_tmpfs "$work/full" 4m
seed "$work/full/f"
before=$(sums "$work/full/f")
start "$work/full/f" "$work/full.log" VARNHOLT_PROBE_QUIT_MS=2000
wait_for "$work/full.log" "main window painted" "$pid"
dd if=/dev/zero of="$work/full/filler" bs=64k 2>/dev/null || true
status=0
wait "$pid" || status=$?
[[ $status -eq 0 ]] || fail "full disk: the program ended with $status"
grep -qF "QMessageBox: Cannot save data" "$work/full.log" ||
    fail "full disk: the data file's failure not shown"
grep -qF "No space left on device" "$work/full.log" || fail "full disk: the settings file's failure not shown"
[[ "$(sums "$work/full/f")" == "$before" ]] || fail "full disk: files changed or truncated"
[[ -z "$(find "$work/full/f" -name '*.tmp*')" ]] || fail "full disk: temporary files left behind"
rm -f "$work"/*.log
echo "check-program-folder: full disk at the end reported, files whole"
