#!/usr/bin/env bash
# Roll-out without anyone at the keyboard, on a whole prefix (AutoCAD 2004
# and 2008 seeded, the medium on E:):
#  - a line Setup does not understand: exit code 1, the prefix unchanged;
#  - the wizard into D:\工程 软件\Terrasum (the reference), uninstalled again;
#  - setup.exe /S /D=D:\工程 软件\Terrasum /LOG=...: no window ever seen, exit
#    code 0, the prefix changed exactly as the wizard changed it, the log
#    naming every recorded file, folder, control, value, release and link;
#  - /S again over it (the reinstall question answered "install again");
#  - a folder that cannot be made: exit code 2, no record;
#  - a medium without its Temp folder and with a file held open: exit code 3,
#    both named in the log;
#  - Uninstall /S with its record held open: exit code 2, nothing removed;
#  - "<folder>\Uninstall.exe" /S: exit code 0, and only the leftovers the
#    wizard's uninstall leaves too (tests/wine/e2e/expected-leftovers.txt).
#   e2e-silent-test.sh BUILD_DIR [--demo]   (--demo: prints the logs, checks nothing more)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
demo=${2:-}
. "$here/../wine/wine-lib.sh"
. "$here/e2e-lib.sh"
ts_use_wine "$(ts_build_arch "$build")" || exit 2

e2e_start e2e-silent "$build/e2e-silent${demo:+-demo}" || exit 2
mkdir -p "$out/run"
snapshot() {
  wineserver -w
  python3 "$here/../wine/prefix-snapshot.py" take "$prefix" "$1" drive_c drive_d medium
}
# Lines of a difference that are Wine's bookkeeping, or keys and profiles a
# first run leaves for good (so the second run cannot make them again).
wine_noise() {
  grep -v 'Software\\\\Wine\|CurrentVersion\\\\Fonts\|NetworkCards\|Profiles\\\\<<Terrasum V8>>\|Kelvarin\\\\Terrasum\]$\|Kelvarin\]$\|AutoCAD.*\]$\|Autodesk\]$\|Program Files/Kelvarin$\|drive_d/工程 软件$\|Active Setup\\\\Installed Components\]$' "$@" |
    # Each installation's per-user component has a version of its own.
    sed 's/"Version"="8,0,[0-9]*,[0-9]*"/"Version"="8,0,D,T"/'
}
difference() { python3 "$here/../wine/prefix-snapshot.py" diff "$1" "$2"; }
driver() {  # NAME ARGS...: the demo driver, its account in $out/NAME.txt
  local name=$1; shift
  rm -f "$out/run/account.gbk"
  wine_c 'Y:\testbin\DemoDriver.exe' "$@" >>"$out/wine.log" 2>&1
  iconv -f GBK -t UTF-8 "$out/run/account.gbk" >"$out/$name.txt" 2>/dev/null
  grep -q 'demo: done' "$out/$name.txt" || fail "$name did not finish: $(grep FAILED "$out/$name.txt")"
}
# run NAME EXPECTED_CODE [--hold FILE] COMMAND_LINE: watched for windows
run() {
  local name=$1 expected=$2; shift 2
  driver "$name" --run "$wrun" "$@"
  local code
  code=$(sed -n 's/^run: exit code \([0-9]*\);.*/\1/p' "$out/$name.txt")
  [ "$code" = "$expected" ] || fail "$name: exit code ${code:-none}, $expected expected"
  grep -q 'visible window of it seen 0 times' "$out/$name.txt" || fail "$name: a window appeared: $(grep 'run: exit' "$out/$name.txt")"
  if [ -n "$demo" ]; then echo "== $name: $(grep 'run: exit' "$out/$name.txt")"; fi
}
log() { iconv -f UTF-8 -t UTF-8 "$prefix/drive_c/$1" 2>/dev/null | sed '1s/^\xEF\xBB\xBF//' | tr -d '\r'; }
wrun="Y:\\${out##*/}\\run\\"  # the output folder as the programs see it
folder='D:\工程 软件\Terrasum'
installed="$prefix/drive_d/工程 软件/Terrasum"

iconv -f UTF-8 -t GBK "$here/demo-seed.reg" >"$prefix/drive_c/seed.reg"
wine_c regedit /S 'C:\seed.reg' >/dev/null 2>&1
rm -f "$prefix/drive_c/seed.reg"
mkdir -p "$prefix/drive_c/Program Files/AutoCAD 2004" "$prefix/drive_c/Program Files/AutoCAD 2008"
snapshot "$out/before.txt"

if [ -z "$demo" ]; then
  # 1: not understood; nothing changes, not even with a log named (it is made
  # outside the snapshot's drives).
  run refused 1 'E:\setup.exe /S /X /LOG='"${wrun}refused.log"
  run relative 1 'E:\setup.exe /S /D=Terrasum'
  run unc 1 'E:\setup.exe /S /D=\\server\share\Terrasum'
  snapshot "$out/after-refused.txt"
  difference "$out/before.txt" "$out/after-refused.txt" | wine_noise >"$out/refused-difference.txt"
  [ -s "$out/refused-difference.txt" ] && fail "a refused line changed the prefix: $(head -5 "$out/refused-difference.txt")"
  grep -q '不能识别的参数: /X' "$out/run/refused.log" || fail "the log of the refused line lacks the reason"
  grep -q '退出代码: 1' "$out/run/refused.log" || fail "the log of the refused line lacks its exit code"

  # The reference: the wizard's run into the same folder.
  driver wizard --install 'E:\setup.exe' "$wrun" "$folder\\"
  snapshot "$out/after-wizard.txt"
  driver wizard-account --account "$wrun" "$folder"
  driver wizard-uninstall --uninstall 'E:\setup.exe' "$wrun" "$folder\\"
  snapshot "$out/before-silent.txt"
fi

# 0: silent, into a folder with a Chinese name and a blank, not quoted,
# written with slashes and a "." as a script might: taken as the folder page
# takes it, the full path D:\工程 软件\Terrasum\.
run silent 0 "E:\\setup.exe /S /LOG=C:\\silent.log /D=D:/工程 软件/./Terrasum"
snapshot "$out/after-silent.txt"
driver silent-account --account "$wrun" "$folder"
log silent.log >"$out/silent.log"
[ -n "$demo" ] && { echo "== The log of setup.exe /S:"; cat "$out/silent.log"; }
if [ -z "$demo" ]; then
  # Exactly the wizard's changes (the log aside), and the same account.
  difference "$out/before.txt" "$out/after-wizard.txt" >"$out/wizard-changes.txt"
  difference "$out/before-silent.txt" "$out/after-silent.txt" | grep -v 'silent\.log' >"$out/silent-changes.txt"
  diff <(wine_noise "$out/wizard-changes.txt") \
       <(wine_noise "$out/silent-changes.txt") >"$out/changes-differ.txt" ||
    fail "the silent install changed the prefix otherwise than the wizard: $(head -10 "$out/changes-differ.txt")"
  diff <(grep -v '^demo:' "$out/wizard-account.txt") <(grep -v '^demo:' "$out/silent-account.txt") >"$out/account-differ.txt" ||
    fail "the silent installation's account differs from the wizard's: $(head -10 "$out/account-differ.txt")"
  # The log names every recorded entry, every value, release and link.
  iconv -f GBK -t UTF-8 "$installed/Uninstall.log" | tr -d '\r' >"$out/record.txt"
  while IFS= read -r line; do
    path=${line#*: }
    case $line in
      "File Copy: "*.LNK) grep -qF "创建快捷方式 $path" "$out/silent.log" || fail "the log lacks the shortcut $path";;
      "File Copy: "*Uninstall.log) grep -qF "写入安装记录 $path" "$out/silent.log" || fail "the log lacks the record";;
      "File Copy: "*) grep -qF -- "-> $path" "$out/silent.log" || grep -qF "创建快捷方式" "$out/silent.log" || fail "the log lacks the file $path";;
      "Reg Ctrl: "*) grep -qF "注册控件 $path: 成功" "$out/silent.log" || fail "the log lacks the control $path";;
    esac
  done <"$out/record.txt"
  for v in installPath Ver DisplayName UninstallString; do
    grep -q "写注册表 .* $v = " "$out/silent.log" || fail "the log lacks the value $v"
  done
  for y in 2004 2008; do
    grep -q "找到 AutoCAD $y" "$out/silent.log" && grep -q "为 AutoCAD $y 创建配置" "$out/silent.log" ||
      fail "the log lacks AutoCAD $y or its profile"
  done
  grep -q '创建文件夹 D:\\工程 软件\\Terrasum$' "$out/silent.log" || fail "the log lacks the folder made"
  for h in '程序: ' '命令行: ' 'Windows: ' '位数: ' '代码页: ANSI 936' '帐户: ' '提升的权限'; do
    grep -q "$h" "$out/silent.log" || fail "the log's head lacks \"$h\""
  done
  tail -n1 "$out/silent.log" | grep -q '退出代码: 0' || fail "the log's last line is not the exit code 0"
  head -c3 "$prefix/drive_c/silent.log" | od -An -tx1 | grep -q 'ef bb bf' || fail "the log has no byte-order mark"

  # Silent again over the installation.
  run reinstall 0 "E:\\setup.exe /s /log=C:\\reinstall.log /d=$folder\\"
  log reinstall.log >"$out/reinstall.log"
  grep -q '已经安装过.*静默安装: 重新安装' "$out/reinstall.log" || fail "the reinstall is not logged as such: $(head -n 12 "$out/reinstall.log")"

  # 2: a folder that cannot be made (a file stands where a folder must go).
  echo x >"$prefix/drive_c/blocker"
  run blocked 2 'E:\setup.exe /S /LOG=C:\blocked.log /D=C:\blocker\Terrasum'
  [ -e "$prefix/drive_c/blocker/Terrasum/Uninstall.log" ] && fail "a stopped install wrote a record"
  log blocked.log | grep -q '不能创建文件夹 C:\\blocker.*取消' || fail "the log lacks the folder that could not be made"

  # 3: a medium without its Temp folder, and a file of it held open.
  cp -a "$prefix/medium" "$prefix/drive_c/medium3"
  rm -rf "$prefix/drive_c/medium3/Temp"
  held=$(cd "$prefix/drive_c/medium3" && find Support -type f | head -n1 | tr / '\\\\')
  run partial 3 --hold "C:\\medium3\\$held" 'C:\medium3\setup.exe /S /LOG=C:\partial.log /D=C:\Partial'
  log partial.log >"$out/partial.log"
  grep -q '找不到安装文件的路径 C:\\medium3\\Temp\\.*忽略' "$out/partial.log" || fail "the log lacks the missing Temp folder"
  grep -qF "未能复制 C:\\medium3\\$held" "$out/partial.log" || fail "the log lacks the file held open"
  [ -f "$prefix/drive_c/Partial/Uninstall.log" ] || fail "the partial install wrote no record"

  # Uninstall /S with its record held open: 2, and nothing removed.
  before=$(find "$installed" | wc -l)
  run unreadable 2 --hold "$folder\\Uninstall.log" "\"$folder\\Uninstall.exe\" /S /LOG=C:\\unreadable.log"
  [ "$(find "$installed" | wc -l)" = "$before" ] || fail "an uninstall that could not read its record removed something"
  log unreadable.log | grep -q '不能读入安装记录' || fail "the log does not say why nothing was removed"
fi

# 0: as a deployment tool uninstalls (QuietUninstallString), with a log.
run uninstall 0 "\"$folder\\Uninstall.exe\" /S /LOG=C:\\uninstall.log"
for _ in $(seq 100); do [ -e "$installed" ] || break; sleep 0.3; done
[ -e "$installed" ] && fail "the installation folder is still there: $(find "$installed" | head -5)"
log uninstall.log >"$out/uninstall.log"
[ -n "$demo" ] && { echo "== The log of Uninstall.exe /S:"; cat "$out/uninstall.log"; }
tail -n1 "$out/uninstall.log" | grep -q '退出代码: 0' || fail "the uninstall log's last line is not the exit code 0"
if [ -z "$demo" ]; then
  rm -rf "$prefix/drive_c/blocker" "$prefix/drive_c/medium3" "$prefix/drive_c/Partial"
  rm -f "$prefix/drive_c/"*.log
  snapshot "$out/after.txt"
  difference "$out/before.txt" "$out/after.txt" >"$out/difference.txt"
  grep -v -E -f <(grep -v -E '^(#|$)' "$here/../../tests/wine/e2e/expected-leftovers.txt") "$out/difference.txt" |
    grep -v -E '^\+ dir  drive_d/工程 软件$|^\+ HKCU \[Console\]' >"$out/unexpected.txt"
  # (HKCU\Console: Wine's console settings, made when the batch's cmd runs.)
  [ -s "$out/unexpected.txt" ] && fail "left behind: $(head -n 20 "$out/unexpected.txt")"
fi
[ $failures = 0 ] && echo "e2e-silent: passed" || echo "e2e-silent: $failures failure(s); see $out"
exit $((failures > 0))
