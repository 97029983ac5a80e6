#!/bin/sh
# Makes the small media files the media tests play, into the folder given (default: the build
# folder's media/). Nothing here is committed; the files are rebuilt when missing.
#   tone.wav  3 s 440 Hz stereo            loop.wav  1.5 s, for the end-of-file loop
#   blip.wav  50 ms (shorter than a tenth of a second)
#   tone.mp3  tone.wma  tune.mid           music formats of the import filter
#   clip.avi  3 s MJPEG 320x240 + PCM      clip.mpg  MPEG-1 + MP2     clip.wmv  WMV2 + WMA2
#   mute.avi  2 s MJPEG without audio
set -eu
out="${1:-${SONADESK_BUILD:-$(cd "$(dirname "$0")/../.." && pwd)/build}/media}"
mkdir -p "$out"
cd "$out"
ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }

[ -s tone.wav ] || sox -n -r 44100 -c 2 -b 16 tone.wav synth 3 sine 440 vol 0.5
[ -s loop.wav ] || sox -n -r 44100 -c 2 -b 16 loop.wav synth 1.5 sine 660 vol 0.5
[ -s blip.wav ] || sox -n -r 44100 -c 2 -b 16 blip.wav synth 0.05 sine 880 vol 0.5
[ -s tone.mp3 ] || lame --quiet -b 128 tone.wav tone.mp3
[ -s tone.wma ] || ff -i tone.wav -c:a wmav2 -b:a 128k -f asf tone.wma
if [ ! -s tune.mid ]; then
  # Format 0, 96 ticks a quarter: piano, C E G, about 2 s at the default tempo.
  printf 'MThd\000\000\000\006\000\000\000\001\000\140' > tune.mid
  printf 'MTrk\000\000\000\040' >> tune.mid
  printf '\000\300\000\000\220\074\144\140\200\074\100\000\220\100\144\140\200\100\100' >> tune.mid
  printf '\000\220\103\144\201\100\200\103\100\000\377\057\000' >> tune.mid
fi
src="testsrc=size=320x240:rate=25"
[ -s clip.avi ] || ff -f lavfi -i "$src:duration=3" -f lavfi -i "sine=frequency=440:duration=3" \
  -c:v mjpeg -q:v 5 -pix_fmt yuvj420p -c:a pcm_s16le -ar 44100 -ac 2 -shortest clip.avi
[ -s mute.avi ] || ff -f lavfi -i "$src:duration=2" -c:v mjpeg -q:v 5 -pix_fmt yuvj420p -an mute.avi
[ -s clip.mpg ] || ff -f lavfi -i "$src:duration=3" -f lavfi -i "sine=frequency=440:duration=3" \
  -c:v mpeg1video -b:v 800k -c:a mp2 -b:a 128k -ar 44100 -shortest -f mpeg clip.mpg
[ -s clip.wmv ] || ff -f lavfi -i "$src:duration=3" -f lavfi -i "sine=frequency=440:duration=3" \
  -c:v wmv2 -b:v 800k -c:a wmav2 -b:a 128k -ar 44100 -shortest -f asf clip.wmv
touch .ready
echo "$out"
