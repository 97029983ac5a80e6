#!/usr/bin/env bash
# Runs every test level and ends on one summary line "N passed, N failed".
#   1. host unit tests of the portable code (GoogleTest on Linux)
#   2. fuzz corpora replayed under ASan and UBSan
#   3. in-process Win32 tests under Wine (GoogleTest cross-built)
#   4. programs linked against Sonadesk.exe's exports, under Wine
#   5. end-to-end tests of the real Sonadesk.exe under Xvfb (tests/e2e)
#   and first the layering check: no folder includes a header of a folder above it, and the art
#   check: every skin image present, in its format and size, at 100 % and at every drawn scale
# Arguments: level names to run only some (layers art host fuzz win import e2e); SONADESK_E2E_FILTER picks
# e2e test modules by name pattern.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export SONADESK_ROOT="$root"
source "$root/scripts/wine-env.sh"
B="$SONADESK_BUILD"
logs="$B/test-logs"
mkdir -p "$logs"
levels="${*:-layers art host fuzz win import e2e}"
passed=0
failed=0

# Adds the counts of a GoogleTest log; a run that crashed before its summary counts as a failure.
count_gtest() {
  local log=$1 rc=$2 p f
  p=$(grep -E '^\[  PASSED  \] [0-9]+ test' "$log" | tail -1 | sed -E 's/[^0-9]*([0-9]+).*/\1/')
  f=$(grep -E '^\[  FAILED  \] [0-9]+ test' "$log" | tail -1 | sed -E 's/[^0-9]*([0-9]+).*/\1/')
  p=${p:-0}; f=${f:-0}
  if [ "$rc" != 0 ] && [ "$f" = 0 ]; then f=1; fi
  passed=$((passed + p)); failed=$((failed + f))
  echo "  $p passed, $f failed"
  if [ "$f" != 0 ]; then grep -E '^\[  FAILED  \]|Failure|error:|Expected|Which is|Value of|Actual' "$log" | head -60; fi
}

bench_up=0
bench() {
  if [ $bench_up = 1 ]; then return; fi
  sona_display
  sona_wine_prefix
  sona_pulse
  wineserver -p >/dev/null 2>&1 || true
  bench_up=1
  trap sona_stop_bench EXIT
}

for level in $levels; do
  case $level in
    layers)
      echo "== layering of the folders"
      if python3 "$root/scripts/check-layers.py" "$root" >"$logs/layers.log" 2>&1; then
        passed=$((passed + 1)); echo "  $(tail -1 "$logs/layers.log")"
      else
        failed=$((failed + 1)); echo "  FAILED"; cat "$logs/layers.log"
      fi ;;
    art)
      echo "== skin art at every scale"
      py=python3; [ -x /usr/bin/python3 ] && py=/usr/bin/python3
      if $py "$root/scripts/check-art.py" "$root" >"$logs/art.log" 2>&1; then
        passed=$((passed + 1)); echo "  $(tail -1 "$logs/art.log")"
      else
        failed=$((failed + 1)); echo "  FAILED"; cat "$logs/art.log"
      fi ;;
    host)
      echo "== host unit tests"
      "$B/host/sonadesk_hosttests" >"$logs/host.log" 2>&1; count_gtest "$logs/host.log" $? ;;
    fuzz)
      echo "== fuzz corpora (ASan, UBSan)"
      for exe in "$B"/host/*_fuzz; do
        [ -x "$exe" ] || continue
        name=$(basename "$exe")
        if "$exe" "$root/tests/fuzz/corpus/$name" >"$logs/$name.log" 2>&1; then
          passed=$((passed + 1)); echo "  $name: $(tail -1 "$logs/$name.log")"
        else
          failed=$((failed + 1)); echo "  $name FAILED"; tail -30 "$logs/$name.log"
        fi
      done ;;
    win)
      echo "== in-process Win32 tests under Wine"
      bench
      (cd "$SONADESK_WIN_DIR" && timeout 900 wine sonadesk_wintests.exe) >"$logs/win.log" 2>&1; count_gtest "$logs/win.log" $? ;;
    import)
      echo "== programs linked against Sonadesk.exe"
      bench
      for src in "$root"/tests/import/*.cpp; do
        [ -f "$src" ] || continue
        name=$(basename "$src" .cpp)
        (cd "$SONADESK_WIN_DIR" && timeout 300 wine "$name.exe") >"$logs/$name.log" 2>&1; count_gtest "$logs/$name.log" $?
      done ;;
    e2e)
      echo "== end-to-end tests of Sonadesk.exe"
      bench
      pattern="test_${SONADESK_E2E_FILTER:-*}.py"
      py=python3; [ -x /usr/bin/python3 ] && py=/usr/bin/python3
      (cd "$root/tests/e2e" && timeout 3000 $py -m unittest discover -s . -p "$pattern" -v) >"$logs/e2e.log" 2>&1
      rc=$?
      ran=$(grep -E '^Ran [0-9]+ test' "$logs/e2e.log" | sed -E 's/Ran ([0-9]+).*/\1/')
      ran=${ran:-0}
      bad=$(grep -E '^FAILED \(' "$logs/e2e.log" | grep -oE '(failures|errors)=[0-9]+' | cut -d= -f2 | awk '{s+=$1} END {print s+0}')
      bad=${bad:-0}
      if [ $rc != 0 ] && [ "$bad" = 0 ]; then bad=1; fi
      skipped=$(grep -oE 'skipped=[0-9]+' "$logs/e2e.log" | tail -1 | cut -d= -f2); skipped=${skipped:-0}
      passed=$((passed + ran - bad - skipped)); failed=$((failed + bad))
      echo "  $((ran - bad - skipped)) passed, $bad failed, $skipped skipped"
      if [ "$bad" != 0 ]; then grep -E -A25 '^(FAIL|ERROR):' "$logs/e2e.log" | head -120; fi ;;
  esac
done

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
