#!/usr/bin/env bash
# Runs every fuzzer of a fuzz build for a bounded time: run-fuzzers.sh BUILD SECONDS
# Seeds come from fuzz/corpus/<name without fuzz_>; findings fail the run.
set -euo pipefail
build=$1
seconds=$2
src=$(cd "$(dirname "$0")/../.." && pwd)
status=0
for fuzzer in "$build"/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus" "$build/findings"
  seeds="$src/fuzz/corpus/${name#fuzz_}"
  [ -d "$seeds" ] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
  if "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/findings/$name-" \
       "$corpus" >"$build/$name.log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/$name.log" | grep -o '[0-9]*$' || echo '?')
    echo "fuzz: $name ran $runs inputs in ${seconds}s, no finding"
  else
    echo "fuzz: $name FOUND A FAULT (see $build/$name.log and $build/findings/)"
    tail -n 30 "$build/$name.log"
    status=1
  fi
done
exit $status
