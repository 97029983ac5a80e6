#!/usr/bin/env bash
# Desk-switch benchmark (called by scripts/bench.sh inside its Wine bench): a fresh folder with a
# copy of Sonadesk.exe, then bench_desk_switch.exe makes the pictures and the store there and
# times the switches against a bare GDI+ decode of the same files.
set -uo pipefail
B="${SONADESK_BUILD:?}"
dir=$(mktemp -d /tmp/sonadesk-deskswitch.XXXXXX)
cp "$SONADESK_WIN_DIR/Sonadesk.exe" "$dir/"
# Wine maps / to Z: (winepath itself may be a 32-bit program this machine cannot run).
windir="Z:${dir//\//\\}"
(cd "$SONADESK_WIN_DIR" && wine bench_desk_switch.exe "$windir" "${DESK_SWITCH_ROUNDS:-5}")
rc=$?
rm -rf "$dir"
exit $rc
