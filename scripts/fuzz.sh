#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs each for SECONDS
# (default 20) from a scratch copy of its seed corpus, with its dictionary.
# Fails when any target crashes, leaks, hangs or breaks a property; the input
# that did it is kept in build/fuzz/artifacts/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]    TARGET: a folder name in fuzz/corpus/
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift $(( $# > 0 ? 1 : 0 ))
build=build/fuzz

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTARNWICK_FUZZ=ON -DTARNWICK_SANITIZE=ON \
  -DTARNWICK_BUILD_TESTS=OFF -DTARNWICK_BUILD_BENCH=OFF -DTARNWICK_BUILD_GUI=OFF >/dev/null
cmake --build "$build" --target tarnwick_fuzz -j "${CMAKE_BUILD_PARALLEL_LEVEL:-2}"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/artifacts"
failed=()
for name in "${targets[@]}"; do
  # The runs add inputs to their corpus; the repository's copy stays as it is.
  cp -r "fuzz/corpus/$name" "$scratch/$name"
  log="$build/artifacts/$name.log"
  if UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$build/fuzz/fuzz_$name" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
      -dict="fuzz/dict/$name.dict" -artifact_prefix="$build/artifacts/$name-" \
      -print_final_stats=1 "$scratch/$name" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)
    echo "fuzz $name: ${seconds} s, $runs runs, $speed/s, $coverage"
  else
    echo "fuzz $name: FAILED (log: $log)"
    tail -n 40 "$log"
    failed+=("$name")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz targets that failed: ${failed[*]}"
  exit 1
fi
