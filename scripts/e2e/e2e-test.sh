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
. "$here/e2e-lib.sh"
kind=${TS_E2E_PREFIX:-}
arch=$(ts_build_arch "$build")
if [ -n "$kind" ]; then
  . "$here/e2e-$kind.sh" || exit 2
  arch=$kind
fi
ts_use_wine "$arch" || exit 2

e2e_start e2e "$build/e2e${kind:+-$kind}" $kind || exit 2
mkdir -p "$out/shots"
# reg_value KEY NAME: the value's data as reg.exe prints it (as the programs
# see the registry: in a WoW64 prefix its 32-bit view).
reg_value() { wine_c reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
arp='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Terrasum V8'
component='HKLM\Software\Microsoft\Active Setup\Installed Components\Kelvarin.Terrasum.V8'
# the_entry RUN FOLDER: the Add/Remove Programs entry's details and the
# per-user program's component, as the installation into FOLDER left them.
the_entry() {
  local v
  [ "$(reg_value "$arp" QuietUninstallString)" = "\"${2}Uninstall.exe\" /S" ] ||
    fail "run $1: QuietUninstallString is $(reg_value "$arp" QuietUninstallString)"
  for v in "Publisher=Kelvarin" "DisplayVersion=8.0" "InstallLocation=$2" "DisplayIcon=${2}TerrasumV8.0.ICO" \
    "URLInfoAbout=$(sed -n 's/^URL=//p' "$medium/Kelvarin.url" | tr -d '\r')" "NoModify=0x1" "NoRepair=0x1" \
    "InstallDate=$(date +%Y%m%d)"; do
    [ "$(reg_value "$arp" "${v%%=*}")" = "${v#*=}" ] || fail "run $1: ${v%%=*} is $(reg_value "$arp" "${v%%=*}"), not ${v#*=}"
  done
  case $(reg_value "$arp" EstimatedSize) in 0x0 | "") fail "run $1: no EstimatedSize" ;; esac
  [ "$(reg_value "$component" StubPath)" = "\"${2}TerrasumUser.exe\" /PERUSER" ] ||
    fail "run $1: the per-user component's command is $(reg_value "$component" StubPath)"
}
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
  the_entry $run "$expect"
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
