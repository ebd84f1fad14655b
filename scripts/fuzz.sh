#!/usr/bin/env bash
# Fuzzes the targets of tests/fuzz for long: scripts/fuzz.sh [SECONDS] [TARGET...]
#
# Builds the fuzz targets with Clang (libFuzzer, ASan, UBSan) in their own
# build folder, then runs each TARGET (all of them by default) for SECONDS
# (600 by default; 0 for no limit) one after another, or until FUZZ_RUNS
# executions when that is set and comes first. Each keeps a corpus of its own across runs, starting from the seeds
# in tests/fuzz/seeds, which it only reads. Prints each target's executions,
# time and speed, and the input of any failure; exits non-zero if one failed.
#
# FUZZ_BUILD_DIR  build folder (default: build-fuzz); corpora, failing inputs
#                 and logs go to corpus/, artifacts/ and logs/ under it
# FUZZ_RUNS       stop each target after this many executions
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(connect_string_fuzz param_markers_fuzz ini_file_fuzz overlay_fuzz ini_location_fuzz
           tds_request_fuzz)
fi
build=${FUZZ_BUILD_DIR:-build-fuzz}

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target "${targets[@]}" -j "$(nproc)"

failed=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  artifacts=$build/artifacts/$target
  log=$build/logs/$target.log
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  limits=(-max_total_time="$seconds")
  [ -n "${FUZZ_RUNS:-}" ] && limits+=(-runs="$FUZZ_RUNS")
  started=$(date +%s)
  status=0
  "$build/tests/fuzz/$target" "${limits[@]}" -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$corpus" "tests/fuzz/seeds/$target" >"$log" 2>&1 || status=$?
  elapsed=$(($(date +%s) - started))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  runs=${runs:-?}
  rate=$([ "$runs" != "?" ] && [ "$elapsed" -gt 0 ] && echo $((runs / elapsed)) || echo "?")
  if [ "$status" -eq 0 ]; then
    echo "$target: $runs executions in ${elapsed} s ($rate/s), no finding"
  else
    failed=1
    echo "$target: FAILED (status $status) after ${elapsed} s; log $log"
    grep -a -m 1 'Test unit written to' "$log" || true
  fi
done
exit "$failed"
