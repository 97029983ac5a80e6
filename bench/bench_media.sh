#!/usr/bin/env bash
# ./sonadesk bench media: sets up the Wine bench when the caller has not, then bench_media.py.
set -uo pipefail
export SONADESK_ROOT="${SONADESK_ROOT:-$(cd "$(dirname "$0")/.." && pwd)}"
export SONADESK_BUILD="${SONADESK_BUILD:-$SONADESK_ROOT/build}"
source "$SONADESK_ROOT/scripts/wine-env.sh"
if [ -z "${SONA_PULSE_DIR:-}" ]; then
  sona_display
  sona_wine_prefix
  sona_pulse
  wineserver -p >/dev/null 2>&1 || true
  trap sona_stop_bench EXIT
fi
py=python3; [ -x /usr/bin/python3 ] && py=/usr/bin/python3
"$py" "$SONADESK_ROOT/bench/bench_media.py"
