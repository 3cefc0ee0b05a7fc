#!/usr/bin/env bash
# The install engine of two builds against each other, in one prefix, on the
# same payloads, alternately (A B A B ..., everything pinned to one core,
# files on tmpfs): each round runs one EngineBench of each build, and the
# ratio of their median engine times is printed, with each one's own ratio
# to its plain copy loop. For telling whether a change costs the engine
# anything: build the other revision in a tree of its own first.
#   bench-engine-ab.sh BASE_BUILD_DIR NEW_BUILD_DIR   (TS_BENCH_ROUNDS, default 5)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
base=$(cd "$1" && pwd)
new=$(cd "$2" && pwd)
rounds=${TS_BENCH_ROUNDS:-5}
. "$here/../wine/wine-lib.sh"
ts_use_wine "$(ts_build_arch "$new")" || exit 2
[ "$(ts_build_arch "$base")" = "$(ts_build_arch "$new")" ] || { echo "bench-ab: builds of two architectures" >&2; exit 2; }
for b in "$base" "$new"; do
  [ -f "$b/testbin/EngineBench.exe" ] || { echo "bench-ab: no $b/testbin/EngineBench.exe" >&2; exit 2; }
done

work=/dev/shm/ts-bench-ab
out=$new/bench-ab
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
python3 "$here/../ship/make-payload.py" "$work/src/large" 3000 200
python3 "$here/../ship/make-payload.py" "$work/src/small" 20000 100
"$here/../wine/wine-template.sh" "$new/wine/template"
clone_prefix "$new/wine/template" "$prefix"
map_drive "$prefix" s "$work/src"
map_drive "$prefix" t "$work/target"
map_drive "$prefix" m "$base"
map_drive "$prefix" n "$new"
export WINEPREFIX=$prefix
if [ -z "${DISPLAY:-}" ]; then start_xvfb "$out/display"; xpid=$XVFB_PID; fi

engine_time() {  # DRIVE PAYLOAD: one round of that build's engine; prints "engine plain"
  (cd "$prefix/drive_c" && taskset -c 0 timeout -k 10 900 wine "$1:\\testbin\\EngineBench.exe" "S:\\$2" \
     "T:\\$1-$2" 1 >"$out/run.gbk" 2>>"$out/wine.log" </dev/null) || true
  sed -nE 's/^engine-install.* engine=([0-9.]+) plain=([0-9.]+).*/\1 \2/p' "$out/run.gbk"
}
median() { sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

echo "bench-ab: $(ts_describe "$new"); base $base, new $new; $rounds rounds each, alternately"
for p in large small; do
  : >"$out/$p-a.txt"; : >"$out/$p-b.txt"
  for r in $(seq "$rounds"); do
    engine_time m "$p" >>"$out/$p-a.txt"
    engine_time n "$p" >>"$out/$p-b.txt"
  done
  ea=$(cut -d' ' -f1 "$out/$p-a.txt" | median); pa=$(cut -d' ' -f2 "$out/$p-a.txt" | median)
  eb=$(cut -d' ' -f1 "$out/$p-b.txt" | median); pb=$(cut -d' ' -f2 "$out/$p-b.txt" | median)
  awk -v p="$p" -v ea="$ea" -v pa="$pa" -v eb="$eb" -v pb="$pb" 'BEGIN {
    printf "bench-ab: payload %s: engine base %.3f s (%.2f x its plain copy), new %.3f s (%.2f x its plain copy); new/base %.3f\n",
           p, ea, ea / pa, eb, eb / pb, eb / ea }'
done
