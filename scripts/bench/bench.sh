#!/usr/bin/env bash
# make bench: every contender measured alternately (A B A B ..., at least
# three rounds, medians) in one fresh prefix, everything pinned to one core,
# payloads and installations on tmpfs; prints a table of medians, ratios and
# targets. bench.sh [BUILD_DIR [NATIVE_BUILD_DIR]]
#   TS_BENCH_ROUNDS  rounds per contender (default 3)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../$("$here/../wine/wine-arch.sh" build-dir)}" && pwd)
native=$(cd "${2:-$build/../build-native}" && pwd)
rounds=${TS_BENCH_ROUNDS:-3}
. "$here/../wine/wine-lib.sh"
ts_use_wine "$(ts_build_arch "$build")" || exit 2

# The peer installer: NSIS, installed here when missing (not a test dependency).
if ! command -v makensis >/dev/null; then
  echo "bench: installing nsis (the peer installer)"
  if [ "$(id -u)" = 0 ]; then apt-get install -y nsis >/dev/null || { apt-get update >/dev/null && apt-get install -y nsis >/dev/null; }
  else sudo apt-get install -y nsis >/dev/null; fi
fi

work=/dev/shm/ts-bench
out=$build/bench
prefix=$out/prefix
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
rm -rf "$work" "$out"
mkdir -p "$work/src" "$work/target" "$out"

xpid=""
cleanup() {
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Ratios are compared only within one architecture: the peer installer is
# built for the same one as the programs.
arch=$(ts_build_arch "$build")
if [ "$arch" = win64 ]; then nsis_target=amd64-unicode; else nsis_target=x86-unicode; fi
echo "bench: $(ts_describe "$build"); NSIS target $nsis_target"

# Payloads shaped like the medium, with the real programs on top, each with
# an NSIS installer of the same files. No slide-show picture: see
# ProgramBench.cpp; the background is timed on a medium of its own.
payload() {  # NAME FILES MEGABYTES
  local dir=$work/src/$1
  python3 "$here/../ship/make-payload.py" "$dir" "$2" "$3" --nsis "$work/$1.nsi" "$work/src/nsis-$1.exe" --target "$nsis_target"
  cp "$build/bin/Setup.exe" "$dir/setup.exe"
  cp "$build/bin/Uninstall.exe" "$dir/Uninstall.exe"
  echo "bench: building the NSIS installer of payload $1"
  makensis -V1 "$work/$1.nsi" >"$out/makensis-$1.log"
}
echo "bench: generating payloads on tmpfs"
payload large 3000 200
payload small 20000 100
mkdir -p "$work/src/paint/安装界面"
cp "$build/bin/Setup.exe" "$work/src/paint/setup.exe"
convert -size 1024x768 gradient:'#3060a0-#e0e8f0' -quality 90 "$work/src/paint/安装界面/slide.jpg"

"$here/../wine/wine-template.sh" "$build/wine/template"
clone_prefix "$build/wine/template" "$prefix"
map_drive "$prefix" s "$work/src"
map_drive "$prefix" t "$work/target"
map_drive "$prefix" y "$build"
export WINEPREFIX=$prefix
if [ -z "${DISPLAY:-}" ]; then start_xvfb "$out/display"; xpid=$XVFB_PID; fi

# One core for everything: Wine's server round trips between two cores are
# slow and noisy on this kind of machine (about twice the time here).
results=$out/results.txt
: >"$results"
run() {  # LOG PROGRAM ARGS...: output to a file (Wine programs never write to pipes)
  local log=$1; shift
  (cd "$prefix/drive_c" && taskset -c 0 timeout -k 10 900 wine "$@" >"$out/$log.gbk" 2>>"$out/wine.log" </dev/null) ||
    echo "bench: $log ended with $?" >&2
  iconv -f GBK -t UTF-8 "$out/$log.gbk" >"$out/$log.txt" 2>/dev/null || cp "$out/$log.gbk" "$out/$log.txt"
  # The self-removal batch echoes into the same output; only the bench's lines count.
  grep -E '^(round|engine|cost|program|memory|paint)' "$out/$log.txt" | tee -a "$results" | grep -v '^round' || true
}

for p in large small; do
  echo "bench: install, engine only, payload $p"
  run "engine-$p" 'Y:\testbin\EngineBench.exe' "S:\\$p" "T:\\engine-$p" "$rounds"
done
for p in large small; do
  echo "bench: where the engine's time per entry goes, payload $p"
  run "cost-$p" 'Y:\testbin\CostBench.exe' "S:\\$p" "T:\\cost-$p" "$rounds"
done
for p in large small; do
  echo "bench: whole programs against a plain copy and NSIS, payload $p"
  run "program-$p" 'Y:\testbin\ProgramBench.exe' "S:\\$p" "T:\\program-$p" "S:\\nsis-$p.exe" "$rounds"
done
echo "bench: painting"
run paint 'Y:\testbin\PaintBench.exe' 20000
run background 'Y:\testbin\ProgramBench.exe' background 'S:\paint'

echo "bench: record reading (native)"
"$native/bench/bench_record" --benchmark_min_time=0.1 --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_out="$out/record.json" \
  --benchmark_out_format=json >"$out/record.txt" 2>&1 || echo "bench: bench_record failed" >&2

python3 "$here/../../bench/table.py" "$results" "$out/record.json" "$arch" | tee "$out/table.md"
