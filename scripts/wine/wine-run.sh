#!/usr/bin/env bash
# Runs one Win32 test program under Wine, as CTest's cross-compiling emulator:
#   wine-run.sh BUILD_DIR PROGRAM.exe [ARGS...]
# Each run gets its own prefix (32-bit for the i686 build, 64-bit for the
# x86_64 twin: wine-arch.sh decides), cloned from a template made once per
# build tree (system32 hard-linked, everything Wine writes copied for real),
# with the z: drive removed, C: as the current directory, y: mapped to the
# build tree (TS_BUILD_DIR=Y:\), and empty drives d: and e: for test media.
# Locale zh_CN.UTF-8 makes the ANSI code page 936. A display is started when
# none is set. The program is killed after TS_WINE_TIMEOUT seconds (default
# 240), and the prefix's wineserver is stopped at the end in every case.
set -u
build=$(cd "$1" && pwd); shift
exe=$1; shift
timeout_s=${TS_WINE_TIMEOUT:-240}
tpl=$build/wine/template

. "$(dirname "$0")/wine-lib.sh"
ts_use_wine "$(ts_build_arch "$build")" || exit 2

mkdir -p "$build/wine"
"$(dirname "$0")/wine-template.sh" "$tpl" || { echo "wine-run: no template prefix" >&2; exit 2; }

prefix=$(mktemp -d "$build/wine/run.$(basename "$exe" .exe).XXXXXX")
clone_prefix "$tpl" "$prefix"
map_drive "$prefix" d "$prefix/drive_d"
map_drive "$prefix" e "$prefix/drive_e"
map_drive "$prefix" y "$build"
export WINEPREFIX=$prefix TS_BUILD_DIR='Y:\' TS_PREFIX_DIR=$prefix

xpid=""
cleanup() {
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb "$prefix/display"
  xpid=$XVFB_PID
fi

rel=${exe#"$build"/}
winexe="Y:\\${rel//\//\\}"
cd "$prefix/drive_c"
# Output goes to a file: processes Wine starts in the background inherit the
# handles, and a pipe they hold open would hang CTest.
timeout -k 10 "$timeout_s" wine "$winexe" "$@" >"$prefix/out.log" 2>&1 </dev/null
rc=$?
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
echo "wine-run: $rel on $(ts_describe "$build"), prefix $prefix"
cat "$prefix/out.log"
if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then echo "wine-run: $rel timed out after ${timeout_s}s" >&2; fi
if [ $rc -eq 0 ] && [ -z "${TS_KEEP_PREFIX:-}" ]; then rm -rf "$prefix"; else echo "wine-run: prefix kept in $prefix" >&2; fi
exit $rc
