#!/usr/bin/env bash
# The prefix snapshot the end-to-end tests compare: the display devices Wine
# enumerates anew in each session do not show as a change; a value of ours does.
set -u
tool=$(cd "$(dirname "$0")/../../scripts/wine" && pwd)/prefix-snapshot.py
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
mkdir -p "$work/p/drive_c" && : >"$work/p/user.reg"
snap() {  # snap OUT VIDEO_ID PATH: the snapshot of one session's system.reg
  printf '%s\n' 'WINE REGISTRY Version 2' '[Software\\Kelvarin\\Terrasum] 1' "\"Path\"=\"$3\"" \
    '[System\\CurrentControlSet\\Enum\\PCI\\VEN_0000\\Device Parameters] 2' "\"VideoID\"=\"$2\"" \
    '[System\\CurrentControlSet\\Control\\Class\\{4d36e968}\\0000] 3' "\"DriverDate\"=\"$2\"" >"$work/p/system.reg"
  python3 "$tool" take "$work/p" "$work/$1" drive_c
}
snap a {ccd947c9} 'C:\\T'; snap b {f39c057d} 'C:\\T'; snap c {f39c057d} 'D:\\T'
same=$(python3 "$tool" diff "$work/a" "$work/b")
changed=$(python3 "$tool" diff "$work/b" "$work/c")
[ -z "$same" ] || { echo "FAIL: a new session's devices show as a change: $same"; exit 1; }
[[ $changed == *'"Path"="D:\\T"'* ]] || { echo "FAIL: a changed value of ours does not show: $changed"; exit 1; }
echo "prefix-snapshot: passed"
