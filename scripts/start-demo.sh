#!/usr/bin/env bash
# Starts the built Tovalde beside its stand-in fax suite.
#
# The suite is the one in $WINEPREFIX when that holds a KMB32.INI; otherwise a demo prefix in the
# user's data directory, set up once with `kmbsuite init`. Prints the one command that sends the
# running program a sample fax. Without a display Tovalde runs on Qt's offscreen platform, where
# waiting and forwarding work just the same.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${TOVALDE_BUILD_DIR:-$top/build}"
tovalde="$build/tovalde/monitor/tovalde"
kmbsuite="$build/suite/kmbsuite"
for program in "$tovalde" "$kmbsuite" "$build/suite/kmbmon"; do
    if [ ! -x "$program" ]; then
        echo "start-demo: $program is not built; run ./run.sh or scripts/build.sh first." >&2
        exit 1
    fi
done

has_suite_profile() {
    [ -d "$1/drive_c/windows" ] &&
        [ -n "$(find "$1/drive_c/windows" -maxdepth 1 -iname KMB32.INI -print -quit)" ]
}

demo="${XDG_DATA_HOME:-$HOME/.local/share}/tovalde-demo"
if [ -n "${WINEPREFIX:-}" ] && has_suite_profile "$WINEPREFIX"; then
    echo "Using the suite in $WINEPREFIX."
else
    export WINEPREFIX="$demo/wine"
    if ! has_suite_profile "$WINEPREFIX"; then
        echo "Setting up a demo suite in $WINEPREFIX."
        mkdir -p "$WINEPREFIX"
        "$kmbsuite" init
    fi
    config="${XDG_CONFIG_HOME:-$HOME/.config}/KmbRxTrans/KmbRxTrans.conf"
    if [ ! -e "$config" ]; then
        # A first run gets one rule for all folders and waits at start-up, so a sample fax is
        # forwarded at once, and closes the demo's monitor when it ends; all of it can be
        # changed in the window.
        mkdir -p "$(dirname "$config")"
        cat >"$config" <<'CONF'
[Setting]
AutoRun=True
AllTrans=1
AllTransPort=FAXまたはメールに転送
AllTransAdr=0312345678＞ローカルモデム
FaxManClose=True
CONF
        echo "Wrote first settings to $config (forward every fax to 0312345678)."
    fi
fi
# The engine starts the communication monitor from here.
export KMBSUITE_BIN_DIR="$build/suite"

if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: Tovalde runs on the offscreen platform (no window is shown)."
    echo "Stop it with Ctrl+C or SIGTERM; both run its normal shutdown."
    export QT_QPA_PLATFORM=offscreen
fi

sample="$demo/sample.tif"
profile=$(find "$WINEPREFIX/drive_c/windows" -maxdepth 1 -iname KMB32.INI -print -quit)
# The FAX ID of the first receive folder, so the sample lands where a folder rule can see it.
fax_id=$(LC_ALL=C awk -F'=' '
    /^\[/ { in_folders = (tolower($0) ~ /^\[agent-recv\]/) }
    in_folders && $1 == "1" { sub(/^1=/, ""); sub(/,.*/, ""); print; exit }' "$profile" |
    iconv -f CP932 -t UTF-8 2>/dev/null || true)
q() { printf '%q' "$1"; }
echo
echo "To send the running program a sample fax, run in another terminal:"
echo "  mkdir -p $(q "$demo") && WINEPREFIX=$(q "$WINEPREFIX") $(q "$kmbsuite") sample-fax $(q "$sample") &&" \
    "WINEPREFIX=$(q "$WINEPREFIX") $(q "$kmbsuite") receive --fax-id $(q "${fax_id:-101}") $(q "$sample")"
echo "What was forwarded: WINEPREFIX=$(q "$WINEPREFIX") $(q "$kmbsuite") outbox"
echo
exec "$tovalde" "$@"
