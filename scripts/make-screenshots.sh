#!/usr/bin/env bash
# Writes the README's pictures from the real program on the virtual display:
#   docs/screenshot.png    the main window with a picture, a note, a playing music card and a
#                          playing movie around it (the desk of tests/e2e/desk_fixture.py), on
#                          our wallpaper (res/wallpaper.png)
#   docs/main-window.png   the main window alone (its third, empty desk)
# Builds first when Sonadesk.exe is missing. SONADESK_BUILD picks the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export SONADESK_ROOT="$root"
source "$root/scripts/wine-env.sh"
export SONADESK_BUILD
if [ ! -x "$SONADESK_WIN_DIR/Sonadesk.exe" ] || [ ! -f "$SONADESK_WIN_DIR/probe.exe" ]; then
  "$root/sonadesk" build
fi
# Always a virtual display of our own: the desktop a user would have, our wallpaper under a
# compositing manager and a window manager, so the items show blended as on Windows.
export SONADESK_XVFB=1
sona_display
sona_wine_prefix
sona_pulse
trap sona_stop_bench EXIT
py=python3; [ -x /usr/bin/python3 ] && py=/usr/bin/python3
"$py" "$root/scripts/make_screenshots.py" "$root/docs"
