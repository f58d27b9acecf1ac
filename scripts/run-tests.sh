#!/usr/bin/env bash
# Installs what is missing, builds, lints the interface and runs every test, then runs the tests
# labelled pg again against a throwaway PostgreSQL server that is stopped however the run ends.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"

echo "== qmllint"
# Context properties are unknown to the linter, so unqualified access is not checked.
find "$root/qml" -name '*.qml' -print0 | xargs -0 /usr/lib/qt6/bin/qmllint -I "$root/qml" \
    --unqualified disable --compiler disable

echo "== ctest"
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 "$@"

echo "== ctest on PostgreSQL"
cluster="$(mktemp -d)"
trap '"$root/scripts/pg-cluster.sh" stop "$cluster" || true; rm -rf "$cluster"' EXIT
url="$("$root/scripts/pg-cluster.sh" start "$cluster")"
BELVARDINO_TEST_PG="$url" QT_QPA_PLATFORM=offscreen ctest -L '^pg$' --output-on-failure \
    --timeout 300 "$@"
