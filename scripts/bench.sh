#!/usr/bin/env bash
# make bench: every contender measured alternately in one fresh prefix, all
# pinned to one core, sources and targets on tmpfs; prints a table of medians
# and ratios. bench.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
. "$here/wine-lib.sh"

work=/dev/shm/ts-bench
out=$build/bench
prefix=$out/prefix
rm -rf "$work" "$out"
mkdir -p "$work/src" "$work/target" "$out"
echo "bench: generating payloads on tmpfs"
python3 "$here/make-payload.py" "$work/src/large" 3000 200
python3 "$here/make-payload.py" "$work/src/small" 20000 100

"$here/wine-template.sh" "$build/wine/template"
clone_prefix "$build/wine/template" "$prefix"
map_drive "$prefix" s "$work/src"
map_drive "$prefix" t "$work/target"
map_drive "$prefix" y "$build"
export WINEPREFIX=$prefix
xpid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then start_xvfb "$out/display"; xpid=$XVFB_PID; fi

# One core for everything: Wine's server round trips between two cores are
# slow and noisy on this kind of machine.
run() { (cd "$prefix/drive_c" && taskset -c 0 wine "$@" </dev/null 2>>"$out/wine.log"); }

results=$out/results.txt
: >"$results"
for payload in large small; do
  echo "bench: install, engine only, payload $payload"
  run 'Y:\testbin\EngineBench.exe' "S:\\$payload" "T:\\$payload" 3 | iconv -f GBK -t UTF-8 | tee -a "$results"
done

echo "bench: record reading (native)"
"$build/../build-native/bench/bench_record" --benchmark_min_time=0.2 2>/dev/null | tee -a "$results" || true

echo
echo "== Results ($(date -u +%Y-%m-%d), $(nproc) cores, one shared machine: noisy)"
grep -E '^[a-z-]+ ' "$results" | sed 's/^/  /'
