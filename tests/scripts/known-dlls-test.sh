#!/usr/bin/env bash
# scripts/ship/check-known-dlls.py on small programs made for the purpose: it
# must refuse a program importing comctl32 and one importing version.dll, by
# name, and a file that is no program, and pass one that imports only known
# DLLs.
#   known-dlls-test.sh CC OBJDUMP
set -u
cc=$1 objdump=$2
check=$(cd "$(dirname "$0")/../../scripts/ship" && pwd)/check-known-dlls.py
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fails=0 passes=0

probe() {  # probe NAME [LIBS...] < SOURCE: builds NAME.exe
  local name=$1; shift
  cat >"$tmp/$name.c"
  "$cc" "$tmp/$name.c" -o "$tmp/$name.exe" "$@" 2>"$tmp/$name.cc.log" ||
    { echo "FAIL: probe $name does not build: $(head -n3 "$tmp/$name.cc.log")"; fails=$((fails + 1)); }
}
run() {  # run RC FILE...: the check exits RC; its output lands in $out
  local rc
  out=$("$check" --objdump "$objdump" "${@:2}" 2>&1); rc=$?
  if [ "$rc" = "$1" ]; then passes=$((passes + 1))
  else echo "FAIL: expected exit $1 for ${*:2}, got $rc: $out"; fails=$((fails + 1)); fi
}
says() {  # says TEXT: the last run printed TEXT
  if grep -qiF -- "$1" <<<"$out"; then passes=$((passes + 1))
  else echo "FAIL: the check did not say '$1': $out"; fails=$((fails + 1)); fi
}

probe plain -lole32 <<'C'
#include <windows.h>
int main(void) { CoInitialize(0); MessageBeep(0); return (int)GetTickCount(); }
C
probe comctl <<'C' -lcomctl32
#include <windows.h>
#include <commctrl.h>
int main(void) { InitCommonControls(); return 0; }
C
probe version <<'C' -lversion
#include <windows.h>
int main(void) { return (int)GetFileVersionInfoSizeW(L"x", 0); }
C
echo "not a program" >"$tmp/text.exe"

cd "$tmp"
run 0 plain.exe
says "plain.exe: imports only known DLLs"
run 1 plain.exe comctl.exe version.exe text.exe
says "comctl.exe: imports comctl32.dll, which is not a known DLL"
says "version.exe: imports version.dll, which is not a known DLL"
says "text.exe: no import table could be read"
[ "$(grep -c FAIL <<<"$out")" = 3 ] || { echo "FAIL: three refusals expected: $out"; fails=$((fails + 1)); }

echo "known-dlls check: $passes passed, $fails failed"
[ $fails = 0 ]
