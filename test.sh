#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Exits non-zero on any failure.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/ensure-packages.sh"
"$top/scripts/build.sh"
cd "$top/build"
ctest --output-on-failure --timeout 300 -j"$(nproc)" "$@"
