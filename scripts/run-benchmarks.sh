#!/usr/bin/env bash
# Installs what is missing, builds, writes the large portfolio into a temporary directory and
# runs every benchmark on it; each prints its figures next to their floors and the ratios.
# Usage: scripts/run-benchmarks.sh [runs] [scale] [server]   (default 5 runs, medians reported;
# scale 10 writes ten times the large portfolio; "server" also copies it to a throwaway
# PostgreSQL cluster and measures the rent run, the lists and the pages there beside the file)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-5}"
scale="${2:-1}"
server="${3:-}"
# An X server without a graphics card, for the interface measured in a real window.
"$root/scripts/setup.sh" xvfb xauth
"$root/scripts/build.sh"

tools="$root/build/tools"
work="$(mktemp -d)"
# The server's folder stands apart: the server runs as another user, who cannot enter $work.
pg=""
cleanup() {
    if [ -n "$pg" ]; then
        "$root/scripts/pg-cluster.sh" stop "$pg" || true
        rm -rf "$pg"
    fi
    rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen

echo "== large portfolio"
start=$(date +%s%N)
"$tools/demodata/demodata" --data-dir "$work" --large --scale "$scale"
echo "generated in $(( ($(date +%s%N) - start) / 1000000 )) ms"
db="$work/belvardino.db"

echo "== monthly rent run, per invoice, against SQLite's C API"
for leases in 1000 10000 100000; do
    "$tools/billingbench/billingbench" --leases "$leases" --runs "$runs" | tail -5
done

echo "== lists and figures the interface loads"
"$tools/listbench/listbench" --db "$db" --runs "$runs" || true

echo "== start-up, login to dashboard, peak memory (large portfolio against an empty database)"
"$tools/uibench/uibench" --db "$db" --runs "$runs"
echo "== the same in a real window: Xvfb, drawn without a graphics card"
xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb \
    "$tools/uibench/uibench" --db "$db" --runs "$runs"

echo "== backup and CSV export against the sqlite3 shell"
"$tools/filebench/filebench" --db "$db" --runs "$runs"

if [ "$server" = "server" ]; then
    echo "== the same portfolio on a throwaway PostgreSQL server (local socket)"
    pg="$(mktemp -d)"
    base="$("$root/scripts/pg-cluster.sh" start "$pg")"
    "$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)/psql" "$base" -qc "CREATE DATABASE large"
    url="$(echo "$base" | sed 's#/postgres?#/large?#')"
    start=$(date +%s%N)
    "$root/build/src/belvardino-cli" --data-dir "$work" to-server "$url"
    echo "copied in $(( ($(date +%s%N) - start) / 1000000 )) ms"
    echo "== rent run for the next month, file against server (each run rolled back)"
    "$tools/billingbench/billingbench" --db "$db" --database "$url" --runs "$runs"
    echo "== lists and figures, file against server"
    "$tools/listbench/listbench" --db "$db" --database "$url" --runs "$runs" || true
    echo "== pages, file against server"
    "$tools/uibench/uibench" --db "$db" --database "$url" --runs "$runs"
    echo "== every paged list read to its end, file against server"
    "$tools/uibench/uibench" --scroll --db "$db" --database "$url" --runs "$runs"
fi
