#!/usr/bin/env bash
# The folder lock end to end, with the real program offscreen and the companion: a second program on
# the same folder is refused with its message and changes nothing; a writing command of the
# companion is refused (exit status 3) while the program runs; a program killed with SIGKILL leaves
# its files whole and the next start works; runs added and then ended by SIGTERM are found by the next
# start. The same again on a folder of a second mount (tmpfs), standing in for a shared folder. On
# small tmpfs mounts, bad media: a read-only folder is refused with the reason and nothing changes; on
# a full disk the program starts and ends without a message, and a change that cannot be written is
# refused with the reason, every file whole. The mounted checks are skipped with a message where the
# sandbox does not allow mounting.
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
# Checksums of the folder's files, the lock file aside, and SQLite's log and index files beside the
# database, which an open connection makes and which hold nothing the database does not.
sums() {
    (cd "$1" && find . -type f ! -name Varnholt.lock ! -name '*.db-shm' ! -name '*.db-wal' -print0 | sort -z |
        xargs -0 -r sha256sum)
}

# Mounts a tmpfs of SIZE on a new folder under $work; false where mounting is not allowed.
mount_tmpfs() {
    mkdir -p "$1"
    [[ $(id -u) -eq 0 ]] && mount -t tmpfs -o "size=$2" varnholt-test "$1" 2>/dev/null || return 1
    mounts+=("$1")
}
# Seeds a folder with the companion: the sample data with one run added to its first analyte,
# whose name is left in SEED_ANALYTE.
seed() {
    mkdir -p "$1"
    SEED_ANALYTE=$("$cli" --home "$1" analytes 2>/dev/null | sed -n 's/^{"analytes":\[{"Name":"\([^"]*\)".*/\1/p')
    [[ -n "$SEED_ANALYTE" ]] || fail "no analyte in the sample data of $1"
    "$cli" --home "$1" --init add "$SEED_ANALYTE" 2026-03-01 08:00 1 >/dev/null ||
        fail "the companion could not seed $1"
}
# The number of stored runs of the seed analyte.
runs() { "$cli" --home "$1" points "$SEED_ANALYTE" | grep -o '"DateTime"' | wc -l; }

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

    # Runs added in the program, then SIGTERM: the program ends normally and the next start has them.
    local count
    count=$(runs "$home")
    start "$home" "$work/$tag-term.log" VARNHOLT_PROBE_RANDOM=4
    local term=$pid
    wait_for "$work/$tag-term.log" "random added" "$term"
    kill -TERM "$term"
    status=0
    wait "$term" || status=$?
    [[ $status -eq 0 ]] || fail "$tag: SIGTERM ended the program with $status"
    [[ $(runs "$home") -eq $((count + 4)) ]] || fail "$tag: the runs added before SIGTERM were lost"
    "$cli" --home "$home" add "$SEED_ANALYTE" 2026-03-01 10:00 1 >/dev/null 2>>"$work/$tag-cli.log" ||
        fail "$tag: the folder stayed locked after SIGTERM"
    rm -f "$work/$tag"-*.log
    echo "check-program-folder: $tag folder: second program, companion and SIGKILL as expected"
}

check_folder "$work/local" local

# SIGTERM while the first start's set-up window is open: the program ends, without its main window.
mkdir -p "$work/first"
start "$work/first" "$work/first.log" VARNHOLT_PROBE_KEEP_DIALOGS=1
wait_for "$work/first.log" "dialog shown TWinSetUp" "$pid"
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[[ $status -eq 0 ]] || fail "set-up: SIGTERM ended the program with $status"
! grep -qF "main window shown" "$work/first.log" || fail "set-up: the program carried on after SIGTERM"
echo "check-program-folder: SIGTERM during the first start's set-up ends the program"

# A folder shared by a group (setgid, umask 002): a second member of the group works after the first,
# the files keep the group and stay group-writable, the settings file is not readable by others.
if [[ $(id -u) -eq 0 ]] && command -v setpriv >/dev/null; then
    shared="$work/group"
    mkdir -p "$shared"
    chgrp 4242 "$shared" && chmod 2775 "$shared" && chmod o+x "$work"
    as() { setpriv --reuid="$1" --regid=4242 --clear-groups sh -c "umask 002; \"\$0\" \"\$@\"" "$cli" --home "$shared" "${@:2}"; }
    as 4001 --init add Glucose 2026-03-01 08:00 1 >/dev/null 2>"$work/group.log" ||
        fail "group: the first member could not start the folder"
    as 4002 add Glucose 2026-03-01 09:00 1 >/dev/null 2>>"$work/group.log" ||
        fail "group: the second member of the group was locked out"
    as 4001 queue add Glucose 2026-03-02 09:00 2 >/dev/null 2>>"$work/group.log" ||
        fail "group: the first member could not write after the second"
    for f in Varnholt.qcf Varnholt.fif Varnholt.lock Varnholt.db; do
        [[ $(stat -c %g "$shared/$f") -eq 4242 ]] || fail "group: $f lost the folder's group"
        [[ $(( 0$(stat -c %a "$shared/$f") & 020 )) -ne 0 ]] || fail "group: $f is not group-writable"
    done
    [[ $(stat -c %a "$shared/Varnholt.cfr") == 660 ]] || fail "group: the settings file is $(stat -c %a "$shared/Varnholt.cfr"), not 660"
    echo "check-program-folder: a folder shared by a group works for a second member"
else
    echo "check-program-folder: SKIPPED the shared-folder check: it needs root and setpriv"
fi

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

# Full disk: the program starts and ends without writing, so without a message (but the one saying that
# the database cannot grow its log); a change that cannot be written is refused with the reason, and
# every file stays whole with no temporary file left.
mount_tmpfs "$work/full" 4m
seed "$work/full/f"
dd if=/dev/zero of="$work/full/filler" bs=64k 2>/dev/null || true
before=$(sums "$work/full/f")
start "$work/full/f" "$work/full.log" VARNHOLT_PROBE_QUIT_MS=500
status=0
wait "$pid" || status=$?
[[ $status -eq 0 ]] || fail "full disk: the program ended with $status"
! grep -F "QMessageBox" "$work/full.log" | grep -vqF "Database error:" ||
    fail "full disk: a message although nothing was written"
status=0
"$cli" --home "$work/full/f" add "$SEED_ANALYTE" 2026-03-02 08:00 1 2>"$work/full-cli.log" || status=$?
[[ $status -eq 2 ]] || fail "full disk: the companion's refused write ended with $status, not 2"
grep -qF "No space left on device" "$work/full-cli.log" || fail "full disk: the reason not given"
[[ "$(sums "$work/full/f")" == "$before" ]] || fail "full disk: files changed or truncated"
[[ -z "$(find "$work/full/f" -name '*.tmp*')" ]] || fail "full disk: temporary files left behind"
rm -f "$work"/*.log
echo "check-program-folder: full disk: changes refused with the reason, files whole"
