#!/usr/bin/env bash
# Installs what is missing, builds, writes the large portfolio into a temporary directory and
# runs every benchmark on it; each prints its figures next to their floors and the ratios.
# Usage: scripts/run-benchmarks.sh [runs] [scale]   (default 5 runs, medians reported; scale 10
# writes ten times the large portfolio)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-5}"
scale="${2:-1}"
# An X server without a graphics card, for the interface measured in a real window.
"$root/scripts/setup.sh" xvfb xauth
"$root/scripts/build.sh"

tools="$root/build/tools"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
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
