#!/usr/bin/env bash
# The same installation under Windows of other languages: for each locale
# (default zh_CN.UTF-8, en_US.UTF-8, ja_JP.UTF-8, zh_TW.UTF-8: ANSI code pages 936,
# 1252, 932 and 950) a fresh prefix with AutoCAD 2004 and 2008 seeded, Setup driven
# through its five pages into "C:\工程软件\土方\", the installation looked at
# from the Linux side, then Uninstall, and the prefix compared with its
# snapshot from before. Every locale must give what the first one gave: the
# same files under the same names, the same install record byte for byte,
# the same registry values, profiles and shortcuts (the driver's account),
# the same pixels on every wizard page, and nothing left behind.
#   e2e-locale-test.sh BUILD_DIR [LOCALE...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
shift
. "$here/../wine/wine-lib.sh"
ts_use_wine "$(ts_build_arch "$build")" || exit 2
locales=("$@")
[ ${#locales[@]} = 0 ] && locales=(zh_CN.UTF-8 en_US.UTF-8 ja_JP.UTF-8 zh_TW.UTF-8)
for loc in "${locales[@]}"; do ts_check_locale "$loc" || exit 2; done

out=$build/e2e-locale
medium=$build/testmedia/medium
[ -f "$medium/setup.exe" ] || medium=$build/medium
[ -f "$medium/setup.exe" ] || { echo "e2e-locale: no medium (make medium)"; exit 2; }
folder='C:\工程软件\土方\'
unix_folder=drive_c/工程软件/土方
"$here/../wine/wine-template.sh" "$build/wine/template" || exit 2
rm -rf "$out"
mkdir -p "$out"
xpid=""
cleanup() {
  for loc in "${locales[@]}"; do WINEPREFIX=$out/$loc/prefix wineserver -k >/dev/null 2>&1; done
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
}
trap cleanup EXIT
[ -z "${DISPLAY:-}" ] && { start_xvfb "$out/display"; xpid=$XVFB_PID; }

failures=0
fail() { echo "e2e-locale: FAIL: $*"; failures=$((failures + 1)); }
# The harness's own steps (seeding AutoCAD, Wine's uninstaller list) run as
# on a Chinese system; only the driver and the programs it starts run under
# the locale being tested.
wine_c() { (cd "$prefix/drive_c" && timeout -k 10 300 wine "$@" </dev/null); }
snapshot() {
  wineserver -w
  python3 "$here/../wine/prefix-snapshot.py" take "$prefix" "$1" drive_c medium
}
drive() {  # drive MODE
  : >"$d/shots/account.gbk"
  # The second locale's run has the finish page's check box paint once more
  # after the driver's click, as a busy machine has it: its shot must still
  # equal the first's.
  (export LC_ALL=$loc LANG=$loc
   [ "$loc" = "${locales[1]:-}" ] && export TS_DEMO_LATE_PAINT=1
   wine_c 'Y:\testbin\DemoDriver.exe' "--$1" 'E:\setup.exe' "Y:\\e2e-locale\\$loc\\shots\\" "$folder" \
     >>"$d/wine.log" 2>&1)
  local rc=$?
  iconv -f GBK -t UTF-8 "$d/shots/account.gbk" >"$d/$1.txt"
  grep -q 'demo: done' "$d/$1.txt" || fail "$loc: $1 did not finish (rc $rc): $(grep FAILED "$d/$1.txt")"
}

for loc in "${locales[@]}"; do
  d=$out/$loc
  prefix=$d/prefix
  mkdir -p "$d/shots"
  clone_prefix "$build/wine/template" "$prefix"
  cp -a "$medium" "$prefix/medium"
  map_drive "$prefix" e "$prefix/medium"
  map_drive "$prefix" y "$build"
  export WINEPREFIX=$prefix
  iconv -f UTF-8 -t GBK "$here/demo-seed.reg" >"$prefix/drive_c/seed.reg"
  wine_c regedit /S 'C:\seed.reg' >/dev/null 2>&1
  rm -f "$prefix/drive_c/seed.reg"
  mkdir -p "$prefix/drive_c/Program Files/AutoCAD 2004" "$prefix/drive_c/Program Files/AutoCAD 2008"
  snapshot "$d/before.txt"

  echo "e2e-locale: $loc: Setup into $folder"
  drive install
  wineserver -w
  (cd "$prefix" && find "$unix_folder" | sort) >"$d/files.txt"
  cp "$prefix/$unix_folder/Uninstall.log" "$d/Uninstall.log" 2>/dev/null || fail "$loc: no Uninstall.log in $unix_folder"
  grep -qx "$unix_folder/图框/A1横式图框.dxf" "$d/files.txt" || fail "$loc: 图框/A1横式图框.dxf is not on disk under its name"
  wine_c uninstaller --list >"$d/list.txt" 2>&1
  # Wine's uninstaller writes in the console's code page (GBK here).
  iconv -f GBK -t UTF-8 "$d/list.txt" 2>/dev/null | grep -q '土方工程量计算软件 Terrasum V8.0' || fail "$loc: Wine's Add/Remove Programs list lacks the product"
  links=$(grep -c ' -> ' "$d/install.txt")
  [ "$links" = 6 ] || fail "$loc: $links shortcuts read back through the shell, 6 expected"

  echo "e2e-locale: $loc: Uninstall"
  drive uninstall
  grep -q 'removed, 0 files left' "$d/uninstall.txt" || fail "$loc: the install folder was not removed"
  # Nothing of the batch: neither its folder under the Windows folder's Temp
  # (or the temp folder) nor a "\DelUS.bat" in a drive's root.
  left=$(cd "$prefix" && find drive_c drive_d -maxdepth 7 -iname 'DelUS*' 2>/dev/null)
  [ -n "$left" ] && fail "$loc: the self-removal batch or its folder is still there: $left"
  snapshot "$d/after.txt"
  python3 "$here/../wine/prefix-snapshot.py" diff "$d/before.txt" "$d/after.txt" >"$d/difference.txt"
  grep -v -E -f <(cat "$here/../../tests/wine/e2e/expected-leftovers.txt" "$here/../../tests/wine/e2e/locale-leftovers.txt" | grep -v -E '^(#|$)') \
    "$d/difference.txt" >"$d/unexpected.txt"
  if [ -s "$d/unexpected.txt" ]; then
    fail "$loc: the prefix differs in ways that are not meant to stay behind:"
    head -n 20 "$d/unexpected.txt"
  fi
  wineserver -k >/dev/null 2>&1
done

# Every locale against the first.
ref=${locales[0]}
for loc in "${locales[@]:1}"; do
  cmp -s "$out/$ref/Uninstall.log" "$out/$loc/Uninstall.log" ||
    fail "$loc: the install record differs from $ref's: $(cmp "$out/$ref/Uninstall.log" "$out/$loc/Uninstall.log")"
  diff -q "$out/$ref/files.txt" "$out/$loc/files.txt" >/dev/null || fail "$loc: other files on disk than under $ref"
  # The accounts hold the files, the record, the registry values, the AutoCAD
  # profiles and the shortcuts as read back; only their screenshot names and
  # the build line are the same anyway.
  for phase in install uninstall; do
    diff <(grep -v '^demo: ' "$out/$ref/$phase.txt") <(grep -v '^demo: ' "$out/$loc/$phase.txt") >"$out/$loc/$phase.diff" ||
      fail "$loc: the $phase account differs from $ref's: $(head -c 600 "$out/$loc/$phase.diff")"
  done
  for shot in "$out/$ref"/shots/*.png; do
    name=$(basename "$shot")
    other=$out/$loc/shots/$name
    [ -f "$other" ] || { fail "$loc: no screenshot $name"; continue; }
    # Wine's desktop shows the new desktop shortcut's icon in its top-left
    # cell, over the background, at a moment of its own: that cell is not
    # the programs' and is left out of both.
    convert "$shot" -fill black -draw 'rectangle 0,0 159,99' "$out/$loc/ref-$name"
    convert "$other" -fill black -draw 'rectangle 0,0 159,99' "$out/$loc/cmp-$name"
    pixels=$(compare -metric AE "$out/$loc/ref-$name" "$out/$loc/cmp-$name" -compose src "$out/$loc/diff-$name" 2>&1 |
             sed 's/ .*//')
    box=$(convert "$out/$loc/diff-$name" -trim -format '%wx%h%O' info: 2>/dev/null)
    case $name in
      # The copy page shows whichever file is being copied at the moment of
      # the shot, and the uninstall's question and progress are the system's
      # message box (its buttons in the system's language) and a moment of
      # the replay: told, not compared.
      04-copy.png|06-*|07-*) echo "e2e-locale: $loc: $name differs from $ref's in $pixels pixels (not compared: timing or the system's own texts)";;
      *)
        # The one thing Wine draws otherwise: the glyph of the caption's close
        # box, which it takes from a font that depends on the locale (no
        # Marlett here). Anything larger than that glyph is a difference of ours.
        if [ "$pixels" != 0 ]; then
          w=${box%%x*}; rest=${box#*x}; h=${rest%%[+-]*}
          if [ "$w" -le 8 ] && [ "$h" -le 8 ]; then
            echo "e2e-locale: $loc: $name differs from $ref's in $pixels pixels, all in one ${w}x${h} box at ${rest#"$h"} (the caption's close-box glyph)"
          else
            fail "$loc: $name differs from $ref's in $pixels pixels, over $box"
          fi
        fi;;
    esac
  done
done

echo "e2e-locale: $(ts_describe "$build"); locales ${locales[*]}; installed into $folder"
[ $failures = 0 ] && echo "e2e-locale: passed" || echo "e2e-locale: $failures failure(s); see $out"
exit $((failures > 0))
