#!/bin/sh
# Regenerates the demo media embedded in the executable:
#   res/demo/demo01.jpg  an 800x600 landscape (JFIF, about 40 KB)   <- res/src/demo_picture.py
#   res/demo/demo01.mp3  a ~31 s tune, MPEG layer III 44.1 kHz mono   <- res/src/demo_tune.py (sox + lame)
# Needs Debian's python3-pil, python3-numpy, sox and lame.  Output is deterministic.
set -e
cd "$(dirname "$0")/.."
PY=/usr/bin/python3
$PY res/src/demo_picture.py res/demo/demo01.jpg
$PY res/src/demo_tune.py res/demo/demo01.mp3
