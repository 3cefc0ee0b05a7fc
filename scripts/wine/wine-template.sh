#!/usr/bin/env bash
# Makes a build tree's template Wine prefix once (under a lock, so that tests
# running side by side wait for the same one): wine-template.sh BUILD/wine/template
# A 32-bit prefix for the i686 build, a 64-bit one for the x86_64 twin
# (wine-arch.sh decides, and refuses a build this machine cannot run).
# A second argument names the prefix's kind instead: wow64, a 64-bit prefix
# for the i686 build (wine-template.sh BUILD/wine/template-wow64 wow64).
set -u
tpl=$1
mkdir -p "$(dirname "$tpl")"
build=$(cd "$(dirname "$tpl")/.." && pwd)
. "$(dirname "$0")/wine-lib.sh"
arch=${2:-$(ts_build_arch "$build")}
ts_use_wine "$arch" || exit 2
exec 9>"$tpl.lock"
flock 9
# Wine links the profile's Desktop, Documents ... to the host's home folder;
# tests write shortcuts there, so they must be folders of the prefix.
unlink_profile() {
  find "$tpl/drive_c/users" -mindepth 2 -maxdepth 2 -type l 2>/dev/null | while IFS= read -r link; do
    rm -f "$link" && mkdir -p "$link"
  done
}
ready="$arch, fonts replaced"
if [ "$(cat "$tpl/.ready" 2>/dev/null)" = "$ready" ]; then unlink_profile; exit 0; fi
rm -rf "$tpl"
export WINEPREFIX=$tpl
# Made as on a Chinese Windows, whatever locale the tests then run under.
export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
wine wineboot -i >"$tpl.log" 2>&1 || { cat "$tpl.log" >&2; exit 1; }
# The dialogs ask for "宋体" (SimSun), which every Chinese-capable Windows
# has. Wine has no such face: its only Chinese font here is WenQuanYi Micro
# Hei, which it finds by itself for a Chinese locale but not for another one
# (every character an empty box under en_US.UTF-8). The replacement makes
# every locale draw the same glyphs.
for face in 宋体 SimSun; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d 'WenQuanYi Micro Hei' /f >>"$tpl.log" 2>&1
done
# A virtual desktop: windows are drawn by Wine itself with their captions,
# and hiding one never waits for a window manager that is not there.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$tpl.log" 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >>"$tpl.log" 2>&1
wineserver -w
rm -f "$tpl/dosdevices/z:"
unlink_profile
echo "$ready" >"$tpl/.ready"
