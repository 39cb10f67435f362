#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tovalde.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/ensure-packages.sh"
"$top/scripts/build.sh"
exec "$top/scripts/start-demo.sh" "$@"
