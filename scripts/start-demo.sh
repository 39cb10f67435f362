#!/usr/bin/env bash
# Starts the built Tovalde. (The demo suite setup joins this script with the main window.)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -x "$top/build/tovalde/monitor/tovalde" ]; then
    exec "$top/build/tovalde/monitor/tovalde" "$@"
fi
echo "Tovalde is not built yet: the build produced only its libraries so far." >&2
exit 0
