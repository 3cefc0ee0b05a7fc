#!/usr/bin/env bash
# The programs hand every text to the system through its wide functions
# (framework/Sys.h converts from code page 936): no object file of theirs may
# import an 8-bit ("A") function, which would read or give text in whatever
# code page the user's Windows happens to have.
#   wide-calls-only.sh NM OBJECT_OR_LIBRARY...
set -uo pipefail
nm=$1; shift
found=0
for f in "$@"; do
  # i686: __imp__CopyFileA@12; x86_64: __imp_CopyFileA
  hits=$("$nm" -u "$f" 2>/dev/null | awk '{print $NF}' | sed -nE 's/^__imp__?([A-Za-z0-9_]*[a-z0-9]A)(@[0-9]+)?$/\1/p' | sort -u)
  if [ -n "$hits" ]; then
    echo "$f: calls 8-bit functions: $(echo $hits)"
    found=1
  fi
done
[ $found = 0 ] && echo "wide-calls-only: $# object files and libraries, no 8-bit system call"
exit $found
