#!/usr/bin/env bash
# The long fuzz run: builds every tests/fuzz/*_fuzz.cpp with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs each from its seed corpus for SECONDS (default 300).
# New inputs that raise coverage land in build/fuzz/corpus/<target>; a crash leaves its input in
# build/fuzz/ and stops the run with a non-zero exit.
#   scripts/fuzz-long.sh [SECONDS] [TARGET ...]
# FUZZ_RUNS=N stops each target after N inputs instead (SECONDS then only bounds the time).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-300}
[ $# -gt 0 ] && shift
out="${SONADESK_BUILD:-$root/build}/fuzz"
# clang and its fuzzer runtime are only needed here, not by the build or the tests.
if ! command -v clang++ >/dev/null || ! dpkg-query -W libclang-rt-14-dev >/dev/null 2>&1; then
  SUDO=""; [ "$(id -u)" != 0 ] && SUDO=sudo
  $SUDO apt-get install -y -q --no-install-recommends clang libclang-rt-14-dev >/dev/null
fi
mkdir -p "$out"
# The host build lists the portable sources it compiles; the fuzz targets link the same ones.
list="${SONADESK_BUILD:-$root/build}/host/portable-sources.txt"
[ -f "$list" ] || { echo "build first: ./sonadesk build"; exit 1; }
mapfile -t portable < <(sed "s|^|$root/|" "$list")
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/tests/fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
for t in "${targets[@]}"; do
  echo "== $t for ${seconds}s"
  clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I "$root" \
    "$root/tests/fuzz/$t.cpp" "${portable[@]}" -o "$out/$t"
  mkdir -p "$out/corpus/$t"
  (cd "$out" && "./$t" -max_total_time="$seconds" ${FUZZ_RUNS:+-runs="$FUZZ_RUNS"} -timeout=10 -print_final_stats=1 "corpus/$t" "$root/tests/fuzz/corpus/$t")
done
