#!/usr/bin/env bash
# Scale benchmark (called by scripts/bench.sh inside its Wine bench): a fresh folder with a copy
# of Sonadesk.exe, then bench_scale.exe writes a store of large desks there for each item kind and
# times the switches against a bare program making the same layered windows.
#   SCALE_ROUNDS (warm rounds, default 3), SCALE_KINDS (of "pnmv", default all)
set -uo pipefail
B="${SONADESK_BUILD:?}"
dir=$(mktemp -d /tmp/sonadesk-scale.XXXXXX)
cp "$SONADESK_WIN_DIR/Sonadesk.exe" "$dir/"
windir="Z:${dir//\//\\}"
(cd "$SONADESK_WIN_DIR" && wine bench_scale.exe "$windir" "${SCALE_ROUNDS:-3}" "${SCALE_KINDS:-pnmv}")
rc=$?
rm -rf "$dir"
exit $rc
