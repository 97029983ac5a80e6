#!/usr/bin/env bash
# Installs what building and testing Sonadesk needs, from Debian's packages, once.
# Idempotent: packages already present are not touched; runs as root or through sudo.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config git python3 python3-pil python3-numpy
  g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  googletest libgtest-dev libcrypto++-dev libcrypto++-utils
  wine wine32:i386
  xvfb xdotool x11-utils imagemagick fonts-wine fonts-liberation2
  picom hsetroot openbox zip xclip
  sox lame ffmpeg pulseaudio pulseaudio-utils
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386 gstreamer1.0-plugins-ugly:i386
  gstreamer1.0-libav:i386 gstreamer1.0-plugins-bad:i386
)
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

# Installs those of the named packages that are missing.
install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q >/dev/null
  $SUDO apt-get install -y -q "${missing[@]}" >/tmp/sonadesk-apt.log 2>&1 || {
    tail -30 /tmp/sonadesk-apt.log; exit 1; }
}

install_missing "${PACKAGES[@]}"
# A kernel that runs no 32-bit code (seen once the 32-bit loader is installed): the tests use a
# 64-bit build under 64-bit Wine, with the 64-bit media decoders (scripts/wine-env.sh). The 64-bit
# compiler is always there: the 64-bit exe ships too.
if [ -e /lib/ld-linux.so.2 ] && ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  a=$(dpkg --print-architecture)
  install_missing wine64 \
    gstreamer1.0-plugins-base:$a gstreamer1.0-plugins-good:$a gstreamer1.0-plugins-ugly:$a \
    gstreamer1.0-libav:$a gstreamer1.0-plugins-bad:$a
fi
exit 0
