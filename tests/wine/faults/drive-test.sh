#!/usr/bin/env bash
# Runs the drive fault tests with two small file systems inside the build
# tree, seen from Windows as folders of drive Y: (the build tree):
#   drive-test.sh BUILD_DIR PROGRAM.exe
# "full": a tmpfs of 1 MiB; "ro": a tmpfs mounted read-only. Mounting needs
# root; without it the test program is told so (TS_FAULT_DRIVES empty) and
# skips its cases.
set -u
build=$(cd "$1" && pwd)
exe=$2
here=$(cd "$(dirname "$0")" && pwd)
name=faults-drives.$$
mnt=$build/$name
mkdir -p "$mnt/full" "$mnt/ro"
mounted=""
if mount -t tmpfs -o size=1m,mode=0777 tmpfs "$mnt/full" 2>/dev/null; then
  mounted="$mnt/full"
  if mount -t tmpfs -o size=1m,mode=0777 tmpfs "$mnt/ro" 2>/dev/null; then
    mounted="$mounted $mnt/ro"
    mkdir -p "$mnt/ro/existing"
    mount -o remount,ro "$mnt/ro" 2>/dev/null || mounted=""
  fi
fi
cleanup() {
  for m in $mnt/ro $mnt/full; do mountpoint -q "$m" && umount "$m"; done
  rm -rf "$mnt"
}
trap cleanup EXIT
if [ -n "$mounted" ]; then export TS_FAULT_DRIVES="$name"; else export TS_FAULT_DRIVES=""; echo "drive-test: cannot mount (not root?)"; fi
"$here/../../../scripts/wine/wine-run.sh" "$build" "$exe"
