#!/usr/bin/env bash
# Install to uninstall on a whole prefix: AutoCAD 2004 and 2008 seeded, Setup
# driven through its five pages into the default folder, Wine's Add/Remove
# Programs list and the shortcuts checked, Uninstall started as the entry's
# UninstallString; then the same into a folder with blanks on D:. Finally the
# prefix is compared with a snapshot taken before Setup ran: what differs must
# be exactly what is meant to stay behind (tests/wine/e2e/expected-leftovers.txt).
#   e2e-test.sh BUILD_DIR
# TS_E2E_PREFIX=wow64 runs the i686 build in a 64-bit prefix instead, as
# 64-bit Windows runs it, with the checks of the registry's views
# (scripts/e2e/e2e-wow64.sh); it is skipped, saying why, where 32-bit code cannot run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
. "$here/../wine/wine-lib.sh"
kind=${TS_E2E_PREFIX:-}
arch=$(ts_build_arch "$build")
if [ -n "$kind" ]; then
  . "$here/e2e-$kind.sh" || exit 2
  arch=$kind
fi
ts_use_wine "$arch" || exit 2

out=$build/e2e${kind:+-$kind}
prefix=$out/prefix
medium=$build/testmedia/medium
[ -f "$medium/setup.exe" ] || medium=$build/medium
[ -f "$medium/setup.exe" ] || { echo "e2e: no medium (make medium)"; exit 2; }
tpl=$build/wine/template${kind:+-$kind}
"$here/../wine/wine-template.sh" "$tpl" ${kind:+"$kind"} || exit 2
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
rm -rf "$out"
mkdir -p "$out/shots"
clone_prefix "$tpl" "$prefix"
cp -a "$medium" "$prefix/medium"
map_drive "$prefix" e "$prefix/medium"
map_drive "$prefix" d "$prefix/drive_d"
map_drive "$prefix" y "$build"
export WINEPREFIX=$prefix
xpid=""
failures=0
cleanup() {
  wineserver -k >/dev/null 2>&1
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
}
trap cleanup EXIT
[ -z "${DISPLAY:-}" ] && { start_xvfb "$out/display"; xpid=$XVFB_PID; }

fail() { echo "e2e: FAIL: $*"; failures=$((failures + 1)); }
wine_c() { (cd "$prefix/drive_c" && timeout -k 10 300 wine "$@" </dev/null); }
# The checks a prefix kind adds (e2e_seeded, e2e_installed RUN, e2e_uninstalled RUN).
on() { if declare -F "e2e_$1" >/dev/null; then "e2e_$@"; fi; }
snapshot() {
  wineserver -w
  python3 "$here/../wine/prefix-snapshot.py" take ${kind:+"--$kind"} "$prefix" "$1" drive_c drive_d medium
}
drive() {  # drive MODE [FOLDER]
  : >"$out/shots/account.gbk"
  wine_c 'Y:\testbin\DemoDriver.exe' "--$1" 'E:\setup.exe' "Y:\\${out##*/}\\shots\\" ${2:+"$2"} >>"$out/wine.log" 2>&1
  local rc=$?
  iconv -f GBK -t UTF-8 "$out/shots/account.gbk" >"$out/$1-$3.txt"
  grep -q 'demo: done' "$out/$1-$3.txt" || fail "$1 into ${2:-the default folder} did not finish (rc $rc): $(grep FAILED "$out/$1-$3.txt")"
}

iconv -f UTF-8 -t GBK "$here/demo-seed.reg" >"$prefix/drive_c/seed.reg"
wine_c regedit /S 'C:\seed.reg' >/dev/null 2>&1
rm -f "$prefix/drive_c/seed.reg"
mkdir -p "$prefix/drive_c/Program Files/AutoCAD 2004" "$prefix/drive_c/Program Files/AutoCAD 2008"
on seeded
snapshot "$out/before.txt"

for run in 1 2; do
  folder=""
  [ $run = 2 ] && folder='D:\My Apps\Terrasum 8\'
  drive install "$folder" $run
  acc=$out/install-$run.txt
  wine_c uninstaller --list >"$out/list-$run.txt" 2>&1
  grep -q '土方工程量计算软件 Terrasum V8.0' <(iconv -f GBK -t UTF-8 "$out/list-$run.txt" 2>/dev/null || cat "$out/list-$run.txt") ||
    grep -q '土方工程量计算软件 Terrasum V8.0' "$out/list-$run.txt" ||
    fail "run $run: Wine's Add/Remove Programs list lacks the product: $(cat "$out/list-$run.txt")"
  links=$(grep -c ' -> ' "$acc")
  [ "$links" = 6 ] || fail "run $run: $links shortcuts read back through the shell, 6 expected"
  grep -q 'cannot be read' "$acc" && fail "run $run: a recorded shortcut cannot be loaded"
  grep -q "Terrasumfor2004.LNK" "$acc" && grep -q "Terrasumfor2008.LNK" "$acc" ||
    fail "run $run: launch shortcuts for AutoCAD 2004 and 2008 missing"
  expect=${folder:-'C:\Program Files\Kelvarin\Terrasum\'}
  grep -qF "installPath = $expect" "$acc" || fail "run $run: installPath is not $expect"
  # In quotes where the path holds a blank.
  command="${expect}Uninstall.exe"
  [[ "$command" == *" "* ]] && command="\"$command\""
  grep -qF "UninstallString = $command" "$acc" || fail "run $run: UninstallString is not $command"
  on installed $run
  drive uninstall "$folder" $run
  rem=$out/uninstall-$run.txt
  grep -q 'removed, 0 files left' "$rem" || fail "run $run: the install folder was not removed: $(grep 'install folder' "$rem")"
  on uninstalled $run
done

snapshot "$out/after.txt"
python3 "$here/../wine/prefix-snapshot.py" diff "$out/before.txt" "$out/after.txt" >"$out/difference.txt"
grep -v -E -f <(grep -v -E '^(#|$)' "$here/../../tests/wine/e2e/expected-leftovers.txt") "$out/difference.txt" >"$out/unexpected.txt"
if [ -s "$out/unexpected.txt" ]; then
  fail "the prefix differs in ways that are not meant to stay behind:"
  head -n 40 "$out/unexpected.txt"
fi
grep -q 'Profiles\\\\<<Terrasum V8>>\]' "$out/difference.txt" || fail "the <<Terrasum V8>> profiles were expected to stay"
grep -q 'Terrasum.Grid\|C730AEB6' "$out/difference.txt" && fail "the sample control's registration stayed behind"

echo "e2e: $(wc -l <"$out/difference.txt") lines of difference, all expected leftovers: $((failures == 0))"
[ $failures = 0 ] && echo "e2e: passed" || echo "e2e: $failures failure(s); see $out"
exit $((failures > 0))
