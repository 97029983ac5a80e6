#!/usr/bin/env bash
# Builds the enciphered language pack from res/lang/english.txt with the host langpack tool.
# Usage: make-langpack.sh HOST_BUILD_DIR OUT_FILE
# The pack is deterministic; OUT_FILE is only replaced when its bytes change, so running this
# again does not make the resource script rebuild.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 HOST_BUILD_DIR OUT_FILE" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
tool="$1/langpack"
out=$2
src="$root/res/lang/english.txt"
if [ ! -x "$tool" ]; then
  echo "make-langpack: $tool not found; build the host tree first" >&2
  exit 1
fi
mkdir -p "$(dirname "$out")"
tmp="$out.new"
trap 'rm -f "$tmp" "$tmp.tmp"' EXIT
"$tool" encode "$src" "$tmp"
if [ -f "$out" ] && cmp -s "$tmp" "$out"; then
  rm -f "$tmp"
else
  mv -f "$tmp" "$out"
fi
