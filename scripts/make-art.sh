#!/bin/sh
# Regenerates every generated resource of Sonadesk and checks it.
#
#   scripts/make-art.sh            skins, icon, cursor and demo media
#   scripts/make-art.sh --skins    skins, icon and cursor only
#
# Sources:  res/src/make_art.py   all skin images (colours and measures in the
#                                 PALETTE and SHAPES tables at its top)
#           res/src/artlib.py     the small drawing kit it uses
#           scripts/make-demo-media.sh  demo01.jpg and demo01.mp3
#           res/src/wallpaper.py  res/wallpaper.png, the desktop of the test bench and the
#                                 README's pictures (not part of the exe)
# Output:   res/art/png<id>_<name>.png (32-bit RGBA), res/art/bmp<id>_<name>.bmp
#           (24-bit), the same images drawn for 125-300 % display scaling in
#           res/art/<percent>/, res/Sonadesk.ico, res/hand.cur, res/demo/*.
# The generated files are committed, so a normal build needs only windres.
# Preview of the result as the program draws it:  /usr/bin/python3 res/src/preview.py
# Needs Debian's python3-pil and python3-numpy (plus sox and lame for the demo media).
set -e
cd "$(dirname "$0")/.."
PY=/usr/bin/python3
$PY res/src/make_art.py
$PY res/src/wallpaper.py res/wallpaper.png
if [ "$1" != "--skins" ]; then
    sh scripts/make-demo-media.sh
fi
$PY scripts/check-art.py
