#!/usr/bin/env bash
# The demo: a fresh prefix (32-bit for the i686 build, 64-bit for the x86_64
# twin where 32-bit code cannot run: wine-arch.sh decides) with AutoCAD 2004 and 2008 registered, the
# sample medium on drive E:, and setup.exe run from it in a Wine virtual
# desktop. With a display it is interactive; without one it runs under Xvfb:
# the wizard is driven through its five pages, then the uninstaller, with a
# screenshot of every page in build/demo/ and an account of what happened.
#   demo.sh [BUILD_DIR]   (default: the build wine-arch.sh chooses)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../$("$here/../wine/wine-arch.sh" build-dir)}" && pwd)
. "$here/../wine/wine-lib.sh"
ts_use_wine "$(ts_build_arch "$build")" || exit 2
ts_check_locale "$TS_LOCALE" || exit 2

out=$build/demo
prefix=$out/prefix
"$here/../wine/wine-template.sh" "$build/wine/template"
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
rm -rf "$prefix" "$out"/*.png "$out"/account.*
mkdir -p "$out"
clone_prefix "$build/wine/template" "$prefix"
map_drive "$prefix" e "$build/medium"
map_drive "$prefix" y "$build"
export WINEPREFIX=$prefix

xpid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
}
trap cleanup EXIT

iconv -f UTF-8 -t GBK "$here/demo-seed.reg" >"$prefix/drive_c/seed.reg"
# The seed is GBK text: imported as on a Chinese system, whatever TS_LOCALE.
(cd "$prefix/drive_c" && with_locale zh_CN.UTF-8 wine regedit /S 'C:\seed.reg' >/dev/null 2>&1)
mkdir -p "$prefix/drive_c/Program Files/AutoCAD 2004" "$prefix/drive_c/Program Files/AutoCAD 2008"

if [ -n "${DISPLAY:-}" ] && [ -z "${TS_DEMO_DRIVEN:-}" ]; then
  echo "demo: Setup runs in a Wine virtual desktop on $DISPLAY; close it to end the demo."
  (cd "$prefix/drive_c" && wine 'E:\setup.exe' >"$out/wine.log" 2>&1)
  wineserver -w
  exit 0
fi

if [ -z "${DISPLAY:-}" ]; then
  start_xvfb "$out/display"
  xpid=$XVFB_PID
fi
echo "demo: $(ts_describe "$build"); programs run under the locale $TS_LOCALE (ANSI code page $(ts_code_page "$TS_LOCALE"))"
echo "demo: driving Setup and Uninstall on a private display ($DISPLAY)"
rc=0
(cd "$prefix/drive_c" && timeout -k 10 600 wine 'Y:\testbin\DemoDriver.exe' 'E:\setup.exe' 'Y:\demo\' \
   >"$out/wine.log" 2>&1 </dev/null) || rc=$?
iconv -f GBK -t UTF-8 "$out/account.gbk" >"$out/account.txt" 2>/dev/null || cp "$out/account.gbk" "$out/account.txt"
cat "$out/account.txt"
echo
echo "demo: screenshots in $out:"
ls "$out"/*.png 2>/dev/null | sed 's/^/  /'
exit $rc
