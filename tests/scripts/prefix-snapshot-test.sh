#!/usr/bin/env bash
# The prefix snapshot the end-to-end tests compare: a change of ours shows,
# the display devices Wine enumerates anew in each session do not (two runs
# of the same test differed there alone).
set -u
tool=$(cd "$(dirname "$0")/../../scripts/wine" && pwd)/prefix-snapshot.py
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
mkdir -p "$work/p/drive_c"
reg() {  # reg VIDEO_ID VALUE: a system.reg of one session
  cat >"$work/p/system.reg" <<REG
WINE REGISTRY Version 2

[Software\\\\Kelvarin\\\\Terrasum] 1700000000
"Path"="$2"

[System\\\\CurrentControlSet\\\\Enum\\\\PCI\\\\VEN_0000&DEV_0000\\\\Device Parameters] 1700000001
"VideoID"="$1"

[System\\\\CurrentControlSet\\\\Control\\\\Class\\\\{4d36e968-e325-11ce-bfc1-08002be10318}\\\\0000] 1700000002
"DriverDate"="$1"
REG
  : >"$work/p/user.reg"
}
reg '{ccd947c9}' 'C:\\T'; python3 "$tool" take "$work/p" "$work/a.txt" drive_c
reg '{f39c057d}' 'C:\\T'; python3 "$tool" take "$work/p" "$work/b.txt" drive_c
reg '{f39c057d}' 'D:\\T'; python3 "$tool" take "$work/p" "$work/c.txt" drive_c
fails=0
same=$(python3 "$tool" diff "$work/a.txt" "$work/b.txt")
[ -z "$same" ] || { echo "FAIL: a new session's devices show as a change: $same"; fails=1; }
changed=$(python3 "$tool" diff "$work/b.txt" "$work/c.txt")
case "$changed" in *'+ HKLM [Software\\Kelvarin\\Terrasum] "Path"="D:\\T"'*) ;;
  *) echo "FAIL: a change of a value does not show: $changed"; fails=1 ;; esac
[ "$fails" = 0 ] && echo "prefix-snapshot: 2 checks passed"
exit "$fails"
