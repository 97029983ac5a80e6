# Sourced by the scripts: the Wine bench inside the build folder.
#   WINEPREFIX  build/wineprefix, made once (fonts, crash dialog off, no mono/gecko)
#   DISPLAY     an Xvfb display started here when there is none (or when SONADESK_XVFB=1)
#   PULSE_*     a PulseAudio daemon with a null sink, so audio renders without a sound card
# Functions: sona_wine_prefix, sona_display, sona_pulse, sona_stop_bench.

: "${SONADESK_BUILD:=$SONADESK_ROOT/build}"

# Sonadesk ships as a 32-bit program and is tested as one under 32-bit Wine. Some kernels run no
# 32-bit Linux code at all (no IA-32 emulation: Wine's 32-bit loader fails with "Exec format
# error"); there the Windows-side tests run a 64-bit build of the same sources under 64-bit Wine.
# SONADESK_WINE_BITS=32|64 overrides the check.
sona_wine_bits() {
  if [ -n "${SONADESK_WINE_BITS:-}" ]; then echo "$SONADESK_WINE_BITS"; return; fi
  if [ -e /lib/ld-linux.so.2 ] && ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then echo 64; else echo 32; fi
}
SONA_WINE_BITS=$(sona_wine_bits)
export SONA_WINE_BITS
if [ "$SONA_WINE_BITS" = 64 ]; then
  export SONADESK_WIN_DIR="$SONADESK_BUILD/win64"
  export WINEPREFIX="$SONADESK_BUILD/wineprefix64"
  export WINEARCH=win64
  # /usr/bin/wine prefers the 32-bit loader whenever it is installed: call the 64-bit one.
  mkdir -p "$SONADESK_BUILD/winebin"
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$SONADESK_BUILD/winebin/wine"
  chmod +x "$SONADESK_BUILD/winebin/wine"
  export WINELOADER=/usr/lib/wine/wine64
  export WINESERVER=/usr/lib/wine/wineserver64
  case ":$PATH:" in *":$SONADESK_BUILD/winebin:"*) ;; *) export PATH="$SONADESK_BUILD/winebin:$PATH" ;; esac
else
  export SONADESK_WIN_DIR="$SONADESK_BUILD/win"
  export WINEPREFIX="$SONADESK_BUILD/wineprefix"
  export WINEARCH=win32
fi
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

sona_wine_prefix() {
  if [ -f "$WINEPREFIX/.sonadesk-ready-5" ]; then return 0; fi
  echo "bench: making the Wine prefix in $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  wineboot -u >/dev/null 2>&1 || true
  wineserver -w
  local key='HKCU\Software\Wine\Fonts\Replacements'
  for face in "Microsoft Sans Serif" "MS Sans Serif" "Tahoma" "Arial" "Segoe UI" "MS Shell Dlg" "MS Shell Dlg 2" "Verdana"; do
    wine reg add "$key" /v "$face" /t REG_SZ /d "Liberation Sans" /f >/dev/null 2>&1
  done
  wine reg add "$key" /v "Times New Roman" /t REG_SZ /d "Liberation Serif" /f >/dev/null 2>&1
  wine reg add "$key" /v "Courier New" /t REG_SZ /d "Liberation Mono" /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.sonadesk-ready-5"
}

sona_display() {
  if [ -n "${DISPLAY:-}" ] && [ "${SONADESK_XVFB:-0}" != 1 ]; then return 0; fi
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  SONA_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
}

sona_pulse() {
  if [ -n "${SONA_PULSE_DIR:-}" ]; then return 0; fi
  command -v pulseaudio >/dev/null || return 0
  SONA_PULSE_DIR=$(mktemp -d /tmp/sonadesk-pulse.XXXXXX)
  export PULSE_RUNTIME_PATH="$SONA_PULSE_DIR"
  export PULSE_SERVER="unix:$SONA_PULSE_DIR/native"
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --system=false --disallow-exit \
    -L "module-null-sink sink_name=nullsink" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$SONA_PULSE_DIR/native" \
    >"$SONA_PULSE_DIR/log" 2>&1 &
  SONA_PULSE_PID=$!
  for _ in $(seq 50); do [ -S "$SONA_PULSE_DIR/native" ] && break; sleep 0.1; done
  pactl set-default-sink nullsink >/dev/null 2>&1 || true
}

sona_stop_bench() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${SONA_PULSE_PID:-}" ] && kill "$SONA_PULSE_PID" 2>/dev/null || true
  [ -n "${SONA_XVFB_PID:-}" ] && kill "$SONA_XVFB_PID" 2>/dev/null || true
  [ -n "${SONA_PULSE_DIR:-}" ] && rm -rf "$SONA_PULSE_DIR" || true
}
