#!/usr/bin/env bash
# DLLs planted beside the programs. A DLL that announces itself when loaded
# (tests/wine/loading/PlantedDll.cpp, a marker line in C:\planted-markers.txt)
# lies under the names of DLLs the programs or the system DLLs they call would
# load by name (comctl32, version, uxtheme, ...) beside setup.exe on the
# medium, which is also Setup's current folder, and, once installed, beside
# Uninstall.exe in the installation folder, Uninstall's current folder. Wine
# is told to prefer a DLL found on the search path to its own for those names
# (WINEDLLOVERRIDES=name=n,b: Windows' search order for a DLL that is not a
# known DLL), for the programs under test only.
#   1. A program without the protection (PlantProbe) loads the planted DLLs
#      from its folder: the test is not vacuous.
#   2. Setup installs, then Uninstall uninstalls, both driven whole: no marker.
#   3. The medium's Controls\ holds a control that links a helper DLL lying
#      beside it: Setup registers it, Uninstall unregisters it.
#   e2e-loading-test.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
. "$here/../wine/wine-lib.sh"
. "$here/e2e-lib.sh"
ts_use_wine "$(ts_build_arch "$build")" || exit 2

bin=$build/testbin
for f in tsplanted.dll PlantProbe.exe HelperControl.ocx ctlhelper.dll DemoDriver.exe; do
  [ -f "$bin/$f" ] || { echo "e2e-loading: $bin/$f is missing (build the tests)"; exit 2; }
done
# Not known DLLs on any Windows from Vista on, and loaded by name by the
# programs or by what they call (the common controls, the version resource,
# themes, the window manager, the crypto and profile helpers, the picture
# codecs, rich edit, the accessibility layer, ...).
# version.dll is planted for the probe only: Wine's own user32 imports it,
# so Wine loads it with the program's imports, before the program's first
# line, from wherever the search finds it; Windows' user32 does not import it
# (there only the PE's dependent-load flag, Windows 10 1607 on, would reach
# such an import, and this toolchain cannot write it).
planted=(comctl32 uxtheme dwmapi cryptbase propsys profapi userenv winmm oleacc
         windowscodecs msimg32 secur32 sspicli cryptsp netapi32 wtsapi32 riched20 shfolder)
# A program that crashes on a planted DLL ends at once, without the debugger.
overrides="$(IFS=,; echo "${planted[*]}")=n,b;winedbg.exe=d"
probe_overrides="version,$overrides"

e2e_start e2e-loading "$build/e2e-loading" || exit 2
mkdir -p "$out/shots"
markers=$prefix/drive_c/planted-markers.txt
plant() {  # plant FOLDER: the announcing DLL under every planted name
  for name in "${planted[@]}"; do cp "$bin/tsplanted.dll" "$1/$name.dll"; done
}
# Only the program under test (and what it starts) gets the overrides.
wine_planted() { WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$overrides" timeout -k 10 300 wine "$@" </dev/null; }
read_markers() { [ -f "$markers" ] && iconv -f UTF-16LE -t UTF-8 "$markers" | tr -d '\r'; }

mkdir -p "$prefix/medium/Controls"
cp "$bin/HelperControl.ocx" "$bin/ctlhelper.dll" "$prefix/medium/Controls/"
plant "$prefix/medium"

# 1. Not vacuous: a program that narrows nothing loads them from its folder.
# (The current folder comes after the system folder in the search: it
# matters only for DLLs the system folder lacks, and both programs take it
# out of the search anyway.)
cp "$bin/PlantProbe.exe" "$prefix/medium/"
cp "$bin/tsplanted.dll" "$prefix/medium/version.dll"
(cd "$prefix/medium" && overrides=$probe_overrides wine_planted 'E:\PlantProbe.exe' version.dll uxtheme.dll comctl32.dll >"$out/probe.txt" 2>&1)
rm -f "$prefix/medium/PlantProbe.exe" "$prefix/medium/version.dll"
for name in version uxtheme comctl32; do
  grep -qiF "$name.dll -> E:\\$name.dll" "$out/probe.txt" ||
    fail "the probe did not load the planted $name.dll from its folder: $(cat "$out/probe.txt")"
done
read_markers | grep -qi 'PlantProbe.exe' || fail "the planted DLLs wrote no marker for the probe"
rm -f "$markers"

drive() {  # drive MODE: DemoDriver, and so the programs it starts, with the overrides
  : >"$out/shots/account.gbk"
  (cd "$prefix/drive_c" && wine_planted 'Y:\testbin\DemoDriver.exe' "--$1" 'E:\setup.exe' \
     "Y:\\${out##*/}\\shots\\" >>"$out/wine.log" 2>&1)
  local rc=$?
  iconv -f GBK -t UTF-8 "$out/shots/account.gbk" >"$out/$1.txt"
  grep -q 'demo: done' "$out/$1.txt" || fail "$1 did not finish (rc $rc): $(grep FAILED "$out/$1.txt")"
}
helper_value() { wine reg query 'HKCU\Software\TerrasumTest' /v HelperControl 2>/dev/null | tr -d '\r' | grep -i 'HelperControl'; }

# 2 and 3: the install.
drive install
wineserver -w
installed=$prefix/drive_c/Program\ Files/Kelvarin/Terrasum
[ -f "$installed/Uninstall.log" ] || fail "the installation did not complete: no Uninstall.log"
[ -f "$installed/Controls/ctlhelper.dll" ] || fail "the helper DLL was not copied into Controls"
if [ -s "$markers" ]; then fail "planted DLLs were loaded during the install:"; read_markers; fi
helper_value | grep -qi '0x1267' ||
  fail "Setup did not register the control that needs the DLL beside it: $(helper_value)"
rm -f "$markers"

if [ ! -f "$installed/Uninstall.exe" ]; then
  echo "e2e-loading: $failures failure(s), no installation to uninstall; see $out"
  exit 1
fi
plant "$installed"
drive uninstall
wineserver -w
if [ -s "$markers" ]; then fail "planted DLLs were loaded during the uninstall:"; read_markers; fi
grep -q 'removed, 0 files left' "$out/uninstall.txt" ||
  grep -q 'still there' "$out/uninstall.txt" || fail "the uninstall gave no account of the folder"
[ -n "$(helper_value)" ] && fail "Uninstall did not unregister the control that needs the DLL beside it"

echo "e2e-loading: $(ts_describe "$build"); planted ${planted[*]}"
[ $failures = 0 ] && echo "e2e-loading: passed" || echo "e2e-loading: $failures failure(s); see $out"
exit $((failures > 0))
