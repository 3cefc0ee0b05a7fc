#!/usr/bin/env bash
# scripts/ship/check-xp-imports.py on small programs made for the purpose: it must
# refuse a Vista function, a function the headers declare for XP although XP
# lacks it, a C runtime function XP's msvcrt.dll lacks and a file that is no
# program, each by name, and pass a program that imports only what XP has.
#   xp-imports-test.sh CC OBJDUMP
set -u
cc=$1 objdump=$2
check=$(cd "$(dirname "$0")/../../scripts/ship" && pwd)/check-xp-imports.py
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fails=0 passes=0

probe() {  # probe NAME [CFLAGS...] < SOURCE: builds NAME.exe
  local name=$1; shift
  cat >"$tmp/$name.c"
  "$cc" "$@" "$tmp/$name.c" -o "$tmp/$name.exe" 2>"$tmp/$name.cc.log" ||
    { echo "FAIL: probe $name does not build: $(head -n3 "$tmp/$name.cc.log")"; fails=$((fails + 1)); }
}
run() {  # run RC FILE...: the check exits RC; its output lands in $out
  local rc
  out=$("$check" --objdump "$objdump" --cc "$cc" "${@:2}" 2>&1); rc=$?
  if [ "$rc" = "$1" ]; then passes=$((passes + 1))
  else echo "FAIL: expected exit $1 for ${*:2}, got $rc: $out"; fails=$((fails + 1)); fi
}
says() {  # says TEXT: the last run printed TEXT
  if grep -qF -- "$1" <<<"$out"; then passes=$((passes + 1))
  else echo "FAIL: the check did not say '$1': $out"; fails=$((fails + 1)); fi
}

probe plain <<'C'
#include <windows.h>
#include <stdio.h>
int main(void) { printf("%lu\n", GetTickCount()); return 0; }
C
probe vista -D_WIN32_WINNT=0x0600 <<'C'
#include <windows.h>
int main(void) { return (int)GetTickCount64(); }
C
probe leak -D_WIN32_WINNT=0x0501 <<'C'
#include <windows.h>
int main(void) { DWORD old; return SetThreadErrorMode(SEM_FAILCRITICALERRORS, &old); }
C
probe crt <<'C'
#include <stddef.h>
__declspec(dllimport) int __cdecl strcpy_s(char *, size_t, const char *);
int main(void) { char b[4]; return strcpy_s(b, sizeof b, "ab"); }
C
echo "not a program" >"$tmp/text.exe"

cd "$tmp"
run 0 plain.exe
says "plain.exe: "
says "all exported by Windows XP SP3"
# One run over all of them (each run compiles the headers once).
run 1 plain.exe vista.exe leak.exe crt.exe text.exe missing.exe
says "vista.exe: imports GetTickCount64 from KERNEL32.dll, which Windows XP SP3 lacks"
says "leak.exe: imports SetThreadErrorMode from KERNEL32.dll, which Windows XP SP3 lacks"
says "crt.exe: imports strcpy_s from msvcrt.dll, which is not among"
says "text.exe: no import table could be read"
says "missing.exe: no import table could be read"
[ "$(grep -c FAIL <<<"$out")" = 5 ] || { echo "FAIL: five refusals expected: $out"; fails=$((fails + 1)); }

echo "xp-imports check: $passes passed, $fails failed"
[ $fails = 0 ]
