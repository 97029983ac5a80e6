#!/usr/bin/env bash
# Benchmarks; each prints its measurement against a baseline measured in the same run.
#   scripts/bench.sh [startup] [store] [cipher] [desk-switch] [media] [hard-cases] [scale]
#   (default: all but scale, which takes several minutes)
# SONADESK_BENCH_WIN names another Windows build folder for startup (its Sonadesk.exe,
# minimal_window.exe and bench_startup.exe), e.g. build/win-nohard from cmake -DSONA_HARDEN=OFF,
# to compare two builds under the same Wine.
#   scripts/bench.sh startup --dpi 144     the Wine benchmarks at a display density (96 = 100 %,
#                                          144 = 150 %); the prefix goes back to 96 afterwards
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export SONADESK_ROOT="$root"
source "$root/scripts/wine-env.sh"
B="$SONADESK_BUILD"
dpi=""
names=""
while [ $# -gt 0 ]; do
  case $1 in
    --dpi) dpi=${2:-}; shift 2 || { echo "--dpi needs a density"; exit 2; } ;;
    *) names="$names $1"; shift ;;
  esac
done
case $dpi in ""|[0-9]|[0-9][0-9]|[0-9][0-9][0-9]) ;; *) echo "--dpi takes a whole number, e.g. 144"; exit 2 ;; esac
names="${names:-store cipher startup desk-switch media hard-cases}"
up=0
bench_done() {
  if [ -n "$dpi" ] && [ "$dpi" != 96 ]; then sona_set_dpi 96; fi
  sona_stop_bench
}
bench_up() {
  [ $up = 1 ] && return
  sona_display; sona_wine_prefix; sona_pulse; wineserver -p >/dev/null 2>&1 || true
  up=1; trap bench_done EXIT
  if [ -n "$dpi" ]; then sona_set_dpi "$dpi"; echo "bench: display at $(sona_dpi) DPI"; fi
}
for name in $names; do
  case $name in
    store) "$B/host/bench_store" ;;
    cipher) "$B/host/bench_cipher" ;;
    startup)
      bench_up
      dir=$(mktemp -d /tmp/sonadesk-bench.XXXXXX)
      mkdir -p "$dir/photos"
      win="${SONADESK_BENCH_WIN:-$SONADESK_WIN_DIR}"
      cp "$win/Sonadesk.exe" "$win/minimal_window.exe" "$dir/"
      cp "$win/Sonadesk.exe" "$dir/photos/"
      (cd "$win" && wine bench_startup.exe "$(winepath -w "$dir/Sonadesk.exe")" \
        "$(winepath -w "$dir/minimal_window.exe")" "${STARTUP_RUNS:-7}" "$(winepath -w "$dir/photos/Sonadesk.exe")")
      rm -rf "$dir" ;;
    desk-switch)
      bench_up
      "$root/bench/desk-switch.sh" ;;
    scale)
      bench_up
      "$root/bench/scale.sh" ;;
    media)
      bench_up
      "$root/bench/bench_media.sh" ;;
    hard-cases)
      # A read-only Data folder, huge clipboard contents (mounts need root).
      bench_up
      /usr/bin/python3 "$root/bench/hard_cases.py" ;;
    *) echo "unknown benchmark: $name"; exit 2 ;;
  esac
done
