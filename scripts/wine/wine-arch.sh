#!/usr/bin/env bash
# The one place that decides which Windows build this machine can run.
#
# The deliverables are the i686 build (build/). Some machines of this kind
# cannot execute 32-bit x86 code at all (the kernel refuses i386 ELF files,
# so 32-bit Wine cannot start); there the same sources built for x86_64
# (build-win64/, a test vehicle, never shipped) run in a 64-bit prefix.
#
# The probe runs the 32-bit Wine loader: whether it executes is the answer.
# TS_WINE_ARCH overrides it:
#   win32  the i686 build only (fails, saying why, where 32-bit code cannot run)
#   win64  the x86_64 twin only (also on a machine that runs 32-bit code)
#   both   both builds (fails like win32 where 32-bit code cannot run)
#   unset or auto: both where 32-bit code runs, else the twin
#
# Sourced by the Wine scripts: ts_can_run_win32, ts_build_arch BUILD,
# ts_use_wine ARCH, ts_describe BUILD. Run as a command:
#   wine-arch.sh probe         win32 if this machine runs 32-bit code, else win64
#   wine-arch.sh build-dirs    the build folders `make test` tests, one a line
#   wine-arch.sh build-dir     the build folder the demo, screenshots and bench use
#   wine-arch.sh describe DIR  one line naming a build folder, its code and prefix
#   wine-arch.sh untested      what a run on the twin alone leaves untested

TS_SCRIPTS=${TS_SCRIPTS:-$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)}
TS_WIN32_LOADER=/usr/lib/wine/wine
TS_WIN64_LOADER=/usr/lib/wine/wine64

# 0 when 32-bit x86 code runs here. Asked once per process tree: the answer
# is passed on to child scripts in TS_WIN32_RUNS (yes or no).
ts_can_run_win32() {
  if [ -z "${TS_WIN32_RUNS:-}" ]; then
    if [ -x "$TS_WIN32_LOADER" ] && "$TS_WIN32_LOADER" --version >/dev/null 2>&1; then
      TS_WIN32_RUNS=yes
    else
      TS_WIN32_RUNS=no
    fi
    export TS_WIN32_RUNS
  fi
  [ "$TS_WIN32_RUNS" = yes ]
}

ts_why_no_win32() {
  if [ ! -x "$TS_WIN32_LOADER" ]; then
    echo "32-bit Wine is not installed ($TS_WIN32_LOADER; scripts/ship/install-deps.sh installs it)"
  elif "$TS_WIN32_LOADER" --version >/dev/null 2>&1; then
    echo "TS_WIN32_RUNS=no says this machine cannot execute 32-bit x86 code"
  else
    echo "this machine cannot execute 32-bit x86 code ($TS_WIN32_LOADER: $("$TS_WIN32_LOADER" --version 2>&1 | head -n1))"
  fi
}

# The architecture a build folder was configured for (written by CMake).
ts_build_arch() {
  local f=$1/wine-arch
  if [ -f "$f" ]; then head -n1 "$f"
  elif grep -q 'CMAKE_SYSTEM_PROCESSOR:.*=x86_64' "$1/CMakeCache.txt" 2>/dev/null; then echo win64
  else echo win32
  fi
}

ts_arch_dir() { [ "$1" = win64 ] && echo build-win64 || echo build; }

# The architectures chosen for this run, in the order they are tested.
ts_chosen_archs() {
  case "${TS_WINE_ARCH:-auto}" in
    win32) echo win32 ;;
    win64) echo win64 ;;
    both) echo win32 win64 ;;
    auto|"") if ts_can_run_win32; then echo win32 win64; else echo win64; fi ;;
    *) echo "wine-arch: TS_WINE_ARCH=$TS_WINE_ARCH is none of win32, win64, both, auto" >&2; return 2 ;;
  esac
}

# Sets up the environment for Wine calls of one architecture: the prefix
# kind and, for the twin, the 64-bit loader first in PATH. wow64 is the i686
# build in a 64-bit prefix, as 64-bit Windows runs it. Fails with the reason
# when 32-bit code is asked for and cannot run.
ts_use_wine() {
  case "$1" in
    win32)
      if ! ts_can_run_win32; then
        echo "wine-arch: the i686 build cannot run here: $(ts_why_no_win32)." >&2
        echo "wine-arch: test the x86_64 twin instead (TS_WINE_ARCH=win64, or unset it)." >&2
        return 2
      fi
      export WINEARCH=win32
      unset WINELOADER
      ;;
    wow64)
      # Debian's wine starts 32-bit programs with the 32-bit loader, under
      # WoW64 in a 64-bit prefix; WINELOADER starts the prefix's own 64-bit
      # programs (the system's tools, a 64-bit child).
      if ! ts_can_run_win32; then
        echo "wine-arch: the i686 build cannot run in a 64-bit (WoW64) prefix here: $(ts_why_no_win32)." >&2
        return 2
      fi
      export WINEARCH=win64 WINELOADER=$TS_WIN64_LOADER
      PATH=${PATH//"$TS_SCRIPTS/wine64:"/}
      ;;
    win64)
      export WINEARCH=win64 WINELOADER=$TS_WIN64_LOADER
      case ":$PATH:" in *":$TS_SCRIPTS/wine64:"*) ;; *) export PATH=$TS_SCRIPTS/wine64:$PATH ;; esac
      ;;
    *) echo "wine-arch: unknown architecture '$1'" >&2; return 2 ;;
  esac
}

ts_describe() {
  local dir=$1 name
  name=$(basename "$dir")
  if [ "$(ts_build_arch "$dir")" = win64 ]; then
    echo "$name (x86_64 twin, a test vehicle) in 64-bit Wine prefixes"
  else
    echo "$name (i686, the deliverables) in 32-bit Wine prefixes"
  fi
}

ts_untested_on_twin() {
  echo "the i686 code itself: code generation that differs between the builds (x87 against SSE2 floating point," \
       "32-bit pointers and structure layouts, the 32-bit calling convention and exception unwinding)," \
       "the 32-bit prefix's registry and file-system views, the i686 sample control," \
       "and the end-to-end run of the i686 programs in a 64-bit prefix (WoW64: the registry's 32-bit view, System32 redirected)"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -u
  root=$(cd "$TS_SCRIPTS/../.." && pwd)
  case "${1:-probe}" in
    probe) if ts_can_run_win32; then echo win32; else echo win64; fi ;;
    build-dirs) archs=$(ts_chosen_archs) || exit 2
      for a in $archs; do (ts_use_wine "$a") || exit 2; ts_arch_dir "$a"; done ;;
    build-dir) archs=$(ts_chosen_archs) || exit 2; set -- $archs
      (ts_use_wine "$1") || exit 2; ts_arch_dir "$1" ;;
    describe) ts_describe "$2" ;;
    untested) ts_untested_on_twin ;;
    *) sed -n '2,24p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
  esac
fi
