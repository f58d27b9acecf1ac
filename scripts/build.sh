#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info); ccache is used when installed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$root")}"
    # Checkouts in different folders then share the cache (debug info keeps the build folder).
    export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
fi
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$root/build" --parallel
