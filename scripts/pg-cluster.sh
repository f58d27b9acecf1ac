#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests: its files and its Unix socket live in DIR, it
# listens on no TCP port, and it runs as an unprivileged user because the server refuses root.
# Usage: scripts/pg-cluster.sh start DIR   (prints the postgresql:// URL to connect with)
#        scripts/pg-cluster.sh stop DIR
set -euo pipefail
action="${1:-}"
dir="${2:-}"
if [ -z "$action" ] || [ -z "$dir" ]; then
    echo "usage: $0 start|stop DIR" >&2
    exit 2
fi
bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)"
if [ ! -x "$bin/pg_ctl" ]; then
    echo "PostgreSQL server programs not found under /usr/lib/postgresql" >&2
    exit 1
fi
dir="$(cd "$dir" && pwd)"
as=()
if [ "$(id -u)" -eq 0 ]; then
    owner=postgres
    id "$owner" >/dev/null 2>&1 || owner=nobody
    as=(runuser -u "$owner" --)
fi

case "$action" in
start)
    [ ${#as[@]} -eq 0 ] || chown "$owner" "$dir"
    # Durability is of no use to a server that lives for one test run.
    "${as[@]}" "$bin/initdb" -D "$dir/data" -U belvardino -A trust -E UTF8 --no-locale \
        --no-sync >"$dir/initdb.log" 2>&1
    "${as[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -s \
        -o "-c listen_addresses='' -k $dir -c fsync=off -c synchronous_commit=off -c full_page_writes=off" \
        start
    echo "postgresql://belvardino@/postgres?host=$dir"
    ;;
stop)
    if [ -f "$dir/data/postmaster.pid" ]; then
        "${as[@]}" "$bin/pg_ctl" -D "$dir/data" -w -s -m fast stop
    fi
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
