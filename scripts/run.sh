#!/usr/bin/env bash
# Starts the built Sonadesk.exe under Wine. Without a display it runs on a virtual one, takes a
# screenshot of the window after start-up and prints its path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export SONADESK_ROOT="$root"
source "$root/scripts/wine-env.sh"
exe="$SONADESK_WIN_DIR/Sonadesk.exe"
headless=0
if [ -z "${DISPLAY:-}" ]; then headless=1; fi
sona_display
sona_wine_prefix
sona_pulse
if [ "$headless" = 0 ]; then
  wine "$exe"
  exit 0
fi
trap sona_stop_bench EXIT
wine "$exe" >/dev/null 2>&1 &
sleep "${SONADESK_RUN_WAIT:-6}"
shot="$SONADESK_BUILD/screenshot-run.png"
rect=$(wine "$SONADESK_WIN_DIR/probe.exe" wait-main 20 2>/dev/null | python3 -c 'import json,sys; r=json.loads(sys.stdin.readline())["rect"]; print("%dx%d+%d+%d" % (r[2]-r[0], r[3]-r[1], r[0], r[1]))' 2>/dev/null || true)
if [ -n "$rect" ]; then import -window root -crop "$rect" +repage "$shot"; else import -window root "$shot"; fi
echo "Sonadesk is running on the virtual display $DISPLAY; screenshot: $shot"
echo "Press Enter to close it."
if [ -t 0 ]; then read -r _ || true; else sleep "${SONADESK_RUN_HOLD:-0}"; fi
