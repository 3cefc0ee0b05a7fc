#!/usr/bin/env bash
# Install from the CD image, end to end, as a user does from a disc. The test
# medium is made into an image (make-iso.sh); the image is extracted through
# its Joliet tree, the names Windows reads, and every file and folder made
# read-only; that folder is drive E:, of Wine's drive type "cdrom". Setup runs
# from E:\setup.exe through its five pages: the installation is checked
# against the image (files, record, registry, profiles, shortcuts, the
# control registered), Uninstall runs and nothing may be left. Then an
# installation whose files get an older release's bytes (their attributes as
# the disc left them), a second installation over it (the reinstall question
# answered Yes): every installed file must be the image's; a last uninstall
# leaves nothing. The prefix is finally compared with a snapshot taken before
# the first Setup (tests/wine/e2e/expected-leftovers.txt).
#
# Started as root, the Wine programs run as the unprivileged user "nobody":
# root may write a read-only file where Windows refuses, and would hide what
# a reinstallation from a disc meets.
#   iso-e2e-test.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
. "$here/../wine/wine-lib.sh"
ts_use_wine "$(ts_build_arch "$build")" || exit 2

out=$build/iso-e2e
prefix=$out/prefix
cd_dir=$out/cd
medium=$build/testmedia/medium
[ -f "$medium/setup.exe" ] || medium=$build/medium
[ -f "$medium/setup.exe" ] || { echo "iso-e2e: no medium (make medium)"; exit 2; }
command -v xorriso >/dev/null || { echo "iso-e2e: xorriso is missing (scripts/ship/install-deps.sh)"; exit 2; }
"$here/../wine/wine-template.sh" "$build/wine/template" || exit 2

user_args=()
if [ "$(id -u)" = 0 ]; then user_args=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$out/home"); fi
as_user() { "${user_args[@]}" "$@"; }

[ -d "$prefix" ] && WINEPREFIX=$prefix as_user wineserver -k >/dev/null 2>&1
[ -d "$out" ] && chmod -R u+w "$out"
rm -rf "$out"
mkdir -p "$out/shots" "$out/home"

# The image, and the disc as Windows reads it.
"$here/../ship/make-iso.sh" "$medium" "$out/image.iso" || exit 1
xorriso -osirrox on -read_fs norock -local_charset UTF-8 -indev "$out/image.iso" -extract / "$cd_dir" \
  >"$out/extract.log" 2>&1 || { cat "$out/extract.log"; exit 1; }
chmod -R a-w "$cd_dir"

clone_prefix "$build/wine/template" "$prefix"
# The template's wineserver folder belongs to whoever made it.
rm -f "$prefix/wineserver"
map_drive "$prefix" e "$cd_dir"
map_drive "$prefix" y "$build"
if [ ${#user_args[@]} -gt 0 ]; then
  find "$prefix" ! -path "$prefix/drive_c/windows/system32/*" ! -path "$prefix/drive_c/windows/syswow64/*" \
    -exec chown -h 65534:65534 {} +
  chown -R 65534:65534 "$out/shots" "$out/home"
fi
export WINEPREFIX=$prefix
xpid=""
failures=0
cleanup() {
  as_user wineserver -k >/dev/null 2>&1
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
}
trap cleanup EXIT
[ -z "${DISPLAY:-}" ] && { start_xvfb "$out/display"; xpid=$XVFB_PID; }

fail() { echo "iso-e2e: FAIL: $*"; failures=$((failures + 1)); }
wine_c() { (cd "$prefix/drive_c" && timeout -k 10 300 "${user_args[@]}" wine "$@" </dev/null); }
snapshot() {
  as_user wineserver -w
  python3 "$here/../wine/prefix-snapshot.py" take "$prefix" "$1" drive_c
}

iconv -f UTF-8 -t GBK "$here/demo-seed.reg" >"$prefix/drive_c/seed.reg"
wine_c regedit /S 'C:\seed.reg' >/dev/null 2>&1
rm -f "$prefix/drive_c/seed.reg"
wine_c reg add 'HKLM\Software\Wine\Drives' /v e: /d cdrom /f >/dev/null 2>&1
mkdir -p "$prefix/drive_c/Program Files/AutoCAD 2004" "$prefix/drive_c/Program Files/AutoCAD 2008"
# Wine reads the drive types when it starts.
as_user wineserver -w
# The user's profile as Wine made it, with the desktop that Setup's shortcut
# goes to (Wine makes that folder only when it is first asked for).
as_user mkdir -p "$prefix/drive_c/users/$(as_user id -un)/Desktop"
snapshot "$out/before.txt"

install_dir="$prefix/drive_c/Program Files/Kelvarin/Terrasum"
# What Setup copies from the disc: the five folders and every top-level file
# but setup.exe, as paths below the disc's root.
copied_files() {
  (cd "$cd_dir" && find Support Controls 图框 Data Temp -type f && find . -maxdepth 1 -type f ! -iname setup.exe -printf '%P\n') | sort
}

drive() {  # drive MODE STEP
  rm -f "$out/shots/account.gbk"  # made anew by the driver, as the user it runs as
  wine_c 'Y:\testbin\DemoDriver.exe' "--$1" 'E:\setup.exe' 'Y:\iso-e2e\shots\' >>"$out/wine.log" 2>&1
  local rc=$?
  iconv -f GBK -t UTF-8 "$out/shots/account.gbk" | tr -d '\r' >"$out/$2.txt"
  grep -q 'demo: done' "$out/$2.txt" || fail "$2 did not finish (rc $rc): $(grep FAILED "$out/$2.txt")"
}

check_installed() {  # check_installed STEP
  local acc=$out/$1.txt f win n
  grep -q 'demo: the medium is on E:\\ (a CD-ROM drive)' "$acc" || fail "$1: the medium was not on a CD-ROM drive: $(grep 'medium is on' "$acc")"
  n=0
  while IFS= read -r f; do
    n=$((n + 1))
    cmp -s "$cd_dir/$f" "$install_dir/$f" || fail "$1: $f is not the image's file"
    win=${f//\//\\}
    grep -qxF "   File Copy: C:\\Program Files\\Kelvarin\\Terrasum\\$win" "$acc" || fail "$1: $win is not recorded"
  done < <(copied_files)
  [ "$n" -ge 20 ] || fail "$1: only $n files on the image"
  grep -qF 'installPath = C:\Program Files\Kelvarin\Terrasum\' "$acc" || fail "$1: installPath"
  grep -qF 'UninstallString = "C:\Program Files\Kelvarin\Terrasum\Uninstall.exe"' "$acc" || fail "$1: UninstallString"
  grep -qF 'InprocServer32 = C:\Program Files\Kelvarin\Terrasum\Controls\TerrasumGrid.ocx' "$acc" ||
    fail "$1: the sample control is not registered"
  [ "$(grep -c 'Profiles\\<<Terrasum V8>>$' "$acc")" = 2 ] || fail "$1: the two AutoCAD releases did not get their profile"
  [ "$(grep -c ' -> ' "$acc")" = 6 ] || fail "$1: $(grep -c ' -> ' "$acc") shortcuts read back through the shell, 6 expected"
  wine_c uninstaller --list >"$out/list-$1.txt" 2>&1
  iconv -f GBK -t UTF-8 "$out/list-$1.txt" 2>/dev/null | grep -q '土方工程量计算软件 Terrasum V8.0' ||
    fail "$1: Wine's Add/Remove Programs list lacks the product: $(cat "$out/list-$1.txt")"
}

check_removed() {  # check_removed STEP
  local acc=$out/$1.txt
  grep -q 'removed, 0 files left' "$acc" || fail "$1: the install folder was not removed: $(grep 'install folder' "$acc")"
  grep -q 'class .*: unregistered' "$acc" || fail "$1: the sample control is still registered"
  [ "$(grep -c ': removed$' "$acc")" = 2 ] || fail "$1: the product's keys were not both removed"
}

# An older release: other bytes in every installed file, the attributes kept
# (written from outside; the disc left the top-level files read-only).
age_installation() {
  local f
  while IFS= read -r f; do printf 'an older release of %s\r\n' "$f" >"$install_dir/$f"; done < <(copied_files)
}

drive install install-1
check_installed install-1
drive uninstall uninstall-1
check_removed uninstall-1

drive install install-2
[ -n "$(find "$install_dir/readme.txt" -perm /222)" ] &&
  fail "install-2: readme.txt is not read-only: the disc's attribute did not come along"
age_installation
drive reinstall reinstall-2
grep -q 'demo: question "已经安装了本软件!' "$out/reinstall-2.txt" || fail "reinstall-2: Setup did not ask whether to reinstall"
check_installed reinstall-2
drive uninstall uninstall-2
check_removed uninstall-2

snapshot "$out/after.txt"
python3 "$here/../wine/prefix-snapshot.py" diff "$out/before.txt" "$out/after.txt" >"$out/difference.txt"
grep -v -E -f <(grep -v -E '^(#|$)' "$here/../../tests/wine/e2e/expected-leftovers.txt") "$out/difference.txt" >"$out/unexpected.txt"
if [ -s "$out/unexpected.txt" ]; then
  fail "the prefix differs in ways that are not meant to stay behind:"
  head -n 40 "$out/unexpected.txt"
fi

echo "iso-e2e: $(ts_describe "$build"); Wine programs run as $([ ${#user_args[@]} -gt 0 ] && echo 'the unprivileged user nobody' || echo "$(id -un)")"
[ $failures = 0 ] && echo "iso-e2e: passed" || echo "iso-e2e: $failures failure(s); see $out"
exit $((failures > 0))
