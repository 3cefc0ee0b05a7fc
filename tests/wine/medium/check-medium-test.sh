#!/usr/bin/env bash
# Tests of make-medium.sh and check-medium.sh:   check-medium-test.sh BUILD_DIR
# Lays out a medium, then takes one piece away at a time from a copy and
# expects check-medium.sh to fail and name that piece.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../../scripts" && pwd)
build=$(cd "$1" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/check-medium-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

medium=$work/medium
"$scripts/ship/make-medium.sh" "$build" "$medium" >"$work/make.log" 2>&1 ||
  { cat "$work/make.log"; echo "FAIL: make-medium.sh did not lay out a complete medium"; exit 1; }
"$scripts/ship/check-medium.sh" "$medium" >/dev/null 2>&1 || fail "the fresh medium does not pass the check"

# check_fails CASE EXPECTED-TEXT COMMAND...: the command spoils a copy of
# the medium (in $copy); the check must fail and its message hold the text.
check_fails() {
  local name=$1 expected=$2
  shift 2
  copy=$work/copy
  rm -rf "$copy" && cp -a "$medium" "$copy"
  (cd "$copy" && "$@") || { fail "$name: could not spoil the copy"; return; }
  if "$scripts/ship/check-medium.sh" "$copy" >"$work/out" 2>&1; then
    fail "$name: check passed"
  elif ! grep -qF -- "$expected" "$work/out"; then
    fail "$name: message does not name '$expected':"; sed 's/^/    /' "$work/out"
  fi
}

for file in setup.exe Uninstall.exe Terrasum.exe TerrasumV8.0.ICO Kelvarin.url readme.txt; do
  check_fails "without $file" "missing $file" rm -f "$file"
done
for folder in Support Controls 图框 Data Temp 安装界面; do
  check_fails "without $folder" "missing folder $folder" rm -rf "$folder"
done
check_fails "no control" 'missing Controls\*.ocx' rm -f Controls/TerrasumGrid.ocx
check_fails "control in a subfolder only" 'missing Controls\*.ocx' \
  sh -c 'mkdir Controls/sub && mv Controls/TerrasumGrid.ocx Controls/sub/'
check_fails "no SoilTuF menu" 'missing Support\2007-09\Menu\SoilTuF*' \
  sh -c 'rm -f Support/2007-09/Menu/SoilTuF*'
check_fails "no menu folder" 'missing Support\2007-09\Menu\SoilTuF*' rm -rf Support/2007-09/Menu
check_fails "no pictures" 'missing 安装界面\*.jpg' sh -c 'rm -f 安装界面/*.jpg'
check_fails "readme is a folder" "readme.txt is not a file" sh -c 'rm readme.txt && mkdir readme.txt'
check_fails "Support is a file" "Support is not a folder" sh -c 'rm -rf Support && touch Support'
check_fails "setup.exe is no program" "setup.exe is not a Windows program" sh -c ': >setup.exe'
check_fails "Kelvarin.url is no shortcut" "Kelvarin.url is not an Internet shortcut" \
  sh -c 'echo http://www.kelvarin.example/ >Kelvarin.url'

# Names outside code page 936 are refused, each named; other Chinese names pass.
check_fails "a Korean file" "Data\\한국어.dat: the name has a character outside code page 936" touch Data/한국어.dat
check_fails "a Korean folder" "图框\\도면: the name has a character outside code page 936" mkdir 图框/도면
cp -a "$medium" "$work/chinese" && touch "$work/chinese/Data/土方工程量（示例）.dat"
"$scripts/ship/check-medium.sh" "$work/chinese" >"$work/out" 2>&1 || { fail "a GBK name is refused:"; cat "$work/out"; }

# Names that a CD's Joliet tree cannot hold; 64 characters still fit.
check_fails "a name of 65 characters" "Data\\$(printf 'x%.0s' $(seq 61)).dat: 65 characters" \
  touch "Data/$(printf 'x%.0s' $(seq 61)).dat"
check_fails "a character beyond U+FFFF" "Data\\𠀀.dat: a character beyond U+FFFF" touch "Data/𠀀.dat"
check_fails "a colon" "Data\\a:b.dat: a control character or one of" touch "Data/a:b.dat"
check_fails "a name not in UTF-8" "not UTF-8" touch "Data/$(printf '\xb5\xd8').dat"
copy=$work/copy
rm -rf "$copy" && cp -a "$medium" "$copy"
touch "$copy/图框/$(printf '图%.0s' $(seq 60)).dxf"
"$scripts/ship/check-medium.sh" "$copy" >"$work/out" 2>&1 ||
  { fail "a name of 64 characters is refused:"; sed 's/^/    /' "$work/out"; }

# Every missing piece is named, not just the first.
check_fails "two pieces missing" "missing readme.txt" rm -rf readme.txt Temp
grep -qF "missing folder Temp" "$work/out" || fail "two pieces missing: Temp not named"

# Windows looks names up without regard to case, and so does the check.
copy=$work/copy
rm -rf "$copy" && cp -a "$medium" "$copy"
mv "$copy/TerrasumV8.0.ICO" "$copy/terrasumv8.0.ico"
mv "$copy/Controls/TerrasumGrid.ocx" "$copy/Controls/TERRASUMGRID.OCX"
mv "$copy/Support/2007-09/Menu" "$copy/Support/2007-09/menu"
"$scripts/ship/check-medium.sh" "$copy" >"$work/out" 2>&1 ||
  { fail "names in another letter case are refused:"; sed 's/^/    /' "$work/out"; }

"$scripts/ship/check-medium.sh" "$work/none" >/dev/null 2>&1
[ $? -eq 2 ] || fail "a missing medium folder is not a usage error (exit 2)"

# make-medium.sh makes the medium anew: stray files go, the content stays.
(cd "$medium" && find . | sort >"$work/first")
touch "$medium/stray.txt" "$medium/Data/stray.dat"
"$scripts/ship/make-medium.sh" "$build" "$medium" >"$work/make.log" 2>&1 || fail "second run failed"
(cd "$medium" && find . | sort >"$work/second")
cmp -s "$work/first" "$work/second" || fail "second run differs: $(diff "$work/first" "$work/second" | tr '\n' ' ')"

# A folder that is not a medium is never deleted.
mkdir -p "$work/precious" && echo keep >"$work/precious/notes.txt"
if "$scripts/ship/make-medium.sh" "$build" "$work/precious" >"$work/out" 2>&1; then
  fail "make-medium.sh rebuilt a folder that was not a medium"
fi
[ -f "$work/precious/notes.txt" ] || fail "make-medium.sh deleted a folder that was not a medium"

if [ $failures -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "check-medium tests passed"
