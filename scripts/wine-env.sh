# Sourced by the scripts: the Wine bench inside the build folder.
#   WINEPREFIX  build/wineprefix, made once (fonts, crash dialog off, no mono/gecko)
#   DISPLAY     an Xvfb display started here when there is none (or when SONADESK_XVFB=1), made
#               a desktop like a user's: our wallpaper (res/wallpaper.png) on the root window, a
#               compositing manager (picom) so per-pixel alpha blends with what lies behind as on
#               Windows, and a window manager (openbox, scripts/bench-openbox.xml) so hiding a
#               window is immediate and the keyboard focus follows activation.
#               SONADESK_DESKTOP=bare gives the plain black display without either manager.
#   PULSE_*     a PulseAudio daemon with a null sink, so audio renders without a sound card
# Functions: sona_wine_prefix, sona_display (sona_desktop), sona_pulse, sona_stop_bench,
#            sona_set_dpi.

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
  # Debian's winepath starts the 32-bit loader too.
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 winepath.exe "$@"\n' >"$SONADESK_BUILD/winebin/winepath"
  chmod +x "$SONADESK_BUILD/winebin/wine" "$SONADESK_BUILD/winebin/winepath"
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
  local n=${SONADESK_DISPLAY_BASE:-90} tries
  for tries in $(seq 20); do
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    # -noreset: the server must not reset when its last client leaves (the wallpaper would go).
    Xvfb ":$n" -screen 0 1280x1024x24 +extension Composite +extension RENDER -nolisten tcp -noreset \
      >/dev/null 2>&1 &
    SONA_XVFB_PID=$!
    # Another bench may have taken the same number a moment earlier: then this server exits, and
    # the socket that appears is the other one's. Only a server of our own counts.
    for _ in $(seq 50); do
      kill -0 "$SONA_XVFB_PID" 2>/dev/null || break
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    sleep 0.2
    if kill -0 "$SONA_XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$n"
      [ "${SONADESK_DESKTOP:-}" = bare ] || sona_desktop
      return 0
    fi
    n=$((n + 1))
  done
  echo "bench: no virtual display could be started" >&2
  return 1
}

# The wallpaper, the compositor and the window manager on $DISPLAY; returns once both managers
# have taken over (each owns its selection on screen 0).
sona_desktop() {
  local wallpaper="$SONADESK_ROOT/res/wallpaper.png"
  # Centred, not scaled: at the bench's 1280 x 1024 every pixel is the file's own.
  [ -f "$wallpaper" ] && hsetroot -center "$wallpaper" >/dev/null 2>&1
  picom --backend xrender --no-vsync --config /dev/null >/dev/null 2>&1 &
  SONA_PICOM_PID=$!
  openbox --config-file "$SONADESK_ROOT/scripts/bench-openbox.xml" >/dev/null 2>&1 &
  SONA_OPENBOX_PID=$!
  for _ in $(seq 100); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
       sona_selection_owned _NET_WM_CM_S0; then
      return 0
    fi
    sleep 0.05
  done
  echo "bench: the compositor or the window manager did not start on $DISPLAY" >&2
}

# True when the X selection $1 has an owner (the compositor announces itself that way; xprop
# cannot ask for it): a question to the server through libX11 from python's ctypes.
sona_selection_owned() {
  python3 - "$1" <<'PY' 2>/dev/null
import ctypes, ctypes.util, sys
x = ctypes.CDLL(ctypes.util.find_library("X11"))
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XInternAtom.restype = ctypes.c_ulong
x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XGetSelectionOwner.restype = ctypes.c_ulong
d = x.XOpenDisplay(None)
sys.exit(0 if d and x.XGetSelectionOwner(d, x.XInternAtom(d, sys.argv[1].encode(), 0)) else 1)
PY
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

# Sets the display density of the prefix (96 = 100 %, 120, 144 = 150 %, 192 = 200 %). Wine reads
# it when its server starts, so the prefix's server is stopped around the change and a lasting one
# started again.
sona_set_dpi() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w
  wineserver -p >/dev/null 2>&1 || true
}

# The display density the prefix is set to (96 when it was never set).
sona_dpi() {
  local v
  v=$(wine reg query 'HKCU\Control Panel\Desktop' /v LogPixels 2>/dev/null | tr -d '\r' |
      awk '/LogPixels/ {print $3}')
  case $v in 0x*) echo $((v)) ;; "") echo 96 ;; *) echo "$v" ;; esac
}

sona_stop_bench() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${SONA_PULSE_PID:-}" ] && kill "$SONA_PULSE_PID" 2>/dev/null || true
  [ -n "${SONA_OPENBOX_PID:-}" ] && kill "$SONA_OPENBOX_PID" 2>/dev/null || true
  [ -n "${SONA_PICOM_PID:-}" ] && kill "$SONA_PICOM_PID" 2>/dev/null || true
  [ -n "${SONA_XVFB_PID:-}" ] && kill "$SONA_XVFB_PID" 2>/dev/null || true
  [ -n "${SONA_PULSE_DIR:-}" ] && rm -rf "$SONA_PULSE_DIR" || true
}
