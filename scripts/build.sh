#!/usr/bin/env bash
# Configures (once) and builds the project into ./build. Incremental: a second run with nothing
# changed does no work.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$top/build"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" -- -j"$(nproc)"
