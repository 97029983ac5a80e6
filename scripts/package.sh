#!/usr/bin/env bash
# Packs the built Sonadesk.exe of both builds for shipping: build/Sonadesk-<version>-win32.zip (the
# 32-bit exe of build/win) and build/Sonadesk-<version>-win64.zip (the 64-bit exe of build/win64),
# each holding Sonadesk.exe, ReadMe.txt (res/ReadMe.txt) and Licence.txt (LICENSE); then prints
# each zip's path and SHA-256. The exes must be the stripped ones the build leaves (their symbols
# stay in Sonadesk.exe.debug beside them in the build). Entries carry the time of the last commit,
# so the same exe always gives the same zip.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${SONADESK_BUILD:-$root/build}"

version=$(sed -n 's/^#define SONA_VERSION_TEXT "\([0-9.]*\)"$/\1/p' "$root/res/version.h")
version=${version%.0}  # 1.2.7.0 ships as 1.2.7, as the caption shows it
[ -n "$version" ] || { echo "package: no version in res/version.h" >&2; exit 1; }

# The exe of one build, checked: present, of the expected machine, without debug sections.
check_exe() {
  local exe=$1 format=$2 sections
  [ -f "$exe" ] || { echo "package: $exe is missing; build first" >&2; exit 1; }
  # The host's objdump reads both 32- and 64-bit PE files; an exe it cannot read is not shipped.
  sections=$(objdump -h "$exe") || { echo "package: cannot read the sections of $exe" >&2; exit 1; }
  if grep -qE '\.debug_|^ +[0-9]+ /[0-9]' <<<"$sections"; then
    echo "package: $exe still carries debug sections" >&2
    exit 1
  fi
  if ! grep -q "file format $format" <<<"$sections"; then
    echo "package: $exe is not a $format program" >&2
    exit 1
  fi
}
check_exe "$build/win/Sonadesk.exe" pei-i386
check_exe "$build/win64/Sonadesk.exe" pei-x86-64

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
# Notepad on older Windows wants CRLF line ends.
sed 's/\r\{0,1\}$/\r/' "$root/res/ReadMe.txt" >"$stage/ReadMe.txt"
sed 's/\r\{0,1\}$/\r/' "$root/LICENSE" >"$stage/Licence.txt"
stamp=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 946684800)
for pair in win:win32 win64:win64; do
  dir=${pair%%:*} name=${pair##*:}
  zip="$build/Sonadesk-$version-$name.zip"
  cp "$build/$dir/Sonadesk.exe" "$stage/Sonadesk.exe"
  for f in Sonadesk.exe ReadMe.txt Licence.txt; do
    TZ=UTC touch -d "@$stamp" "$stage/$f"
    chmod 644 "$stage/$f"
  done
  rm -f "$zip"
  (cd "$stage" && TZ=UTC zip -q -X -9 "$zip" Sonadesk.exe ReadMe.txt Licence.txt)
  echo "$zip"
  echo "SHA-256 $(sha256sum "$zip" | cut -d' ' -f1)"
done
