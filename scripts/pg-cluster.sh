#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the server tests: `start DIR` makes and starts it in DIR (a Unix
# socket there, no TCP port), run by an unprivileged user; `stop DIR` stops it and removes DIR.
# DIR/status then holds "ready CONNINFO", or "unavailable: REASON" when PostgreSQL cannot start here,
# which the tests report as their reason to skip (unless VARNHOLT_SERVER_TESTS=required).
# VARNHOLT_PG_FSYNC=on makes a cluster that syncs every commit (the tests' own one does not).
set -uo pipefail
action=${1:?start or stop}
dir=${2:?folder}
bin=${VARNHOLT_PG_BIN:-/usr/lib/postgresql/15/bin}

unavailable() {
    mkdir -p "$dir"
    echo "unavailable: $*" >"$dir/status"
    echo "PostgreSQL cluster unavailable: $*" >&2
    # The project's test command insists (VARNHOLT_SERVER_TESTS=required): its server tests then fail
    # instead of being skipped.
    [[ ${VARNHOLT_SERVER_TESTS:-} == required ]] && exit 1
    exit 0
}

as_owner() {
    if [[ $(id -u) -eq 0 ]]; then
        # CI runs as root, which PostgreSQL refuses: the cluster belongs to the user "nobody".
        setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"
    else
        "$@"
    fi
}

case "$action" in
start)
    [[ -x "$bin/initdb" && -x "$bin/pg_ctl" ]] || unavailable "no $bin/initdb (install postgresql-15)"
    "$0" stop "$dir" >/dev/null 2>&1
    mkdir -p "$dir/data" "$dir/run"
    [[ $(id -u) -eq 0 ]] && chown -R nobody:nogroup "$dir"
    chmod 0755 "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -U varnholt --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
        unavailable "initdb failed: $(tail -n 2 "$dir/initdb.log" | tr '\n' ' ')"
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses='' -c unix_socket_directories='$dir/run' -c fsync=${VARNHOLT_PG_FSYNC:-off} -c max_connections=60" \
        start >/dev/null 2>&1 || unavailable "the server did not start: $(tail -n 3 "$dir/server.log" 2>/dev/null | tr '\n' ' ')"
    echo "ready host=$dir/run user=varnholt dbname=postgres" >"$dir/status"
    ;;
stop)
    if [[ -f "$dir/data/postmaster.pid" ]]; then
        as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w -t 30 stop >/dev/null 2>&1
    fi
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
