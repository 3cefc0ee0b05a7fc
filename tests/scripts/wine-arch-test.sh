#!/usr/bin/env bash
# Checks the choice of builds by scripts/wine/wine-arch.sh on both kinds of
# machine: the probe's answer is given through TS_WIN32_RUNS (as the script
# passes it on to its children), the override through TS_WINE_ARCH.
set -u
arch=$(cd "$(dirname "$0")/../../scripts/wine" && pwd)/wine-arch.sh
fails=0 passes=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then passes=$((passes + 1)); else echo "FAIL: $1: expected '$2', got '$3'"; fails=$((fails + 1)); fi
}
run() { env -u TS_WINE_ARCH -u TS_WIN32_RUNS "$@" 2>/dev/null | tr '\n' ' ' | sed 's/ $//'; }
status() { env -u TS_WINE_ARCH -u TS_WIN32_RUNS "$@" >/dev/null 2>&1; echo $?; }

# A machine that runs 32-bit code tests both builds, the i686 one first, and
# demonstrates the i686 one; the override picks either or both.
check "32-bit machine, tests" "build build-win64" "$(run TS_WIN32_RUNS=yes "$arch" build-dirs)"
check "32-bit machine, demo" "build" "$(run TS_WIN32_RUNS=yes "$arch" build-dir)"
check "32-bit machine, twin forced" "build-win64" "$(run TS_WIN32_RUNS=yes TS_WINE_ARCH=win64 "$arch" build-dirs)"
check "32-bit machine, twin forced, demo" "build-win64" "$(run TS_WIN32_RUNS=yes TS_WINE_ARCH=win64 "$arch" build-dir)"
check "32-bit machine, i686 forced" "build" "$(run TS_WIN32_RUNS=yes TS_WINE_ARCH=win32 "$arch" build-dirs)"

# A machine that cannot: the twin alone; forcing the i686 build fails and says why.
check "64-bit-only machine, tests" "build-win64" "$(run TS_WIN32_RUNS=no "$arch" build-dirs)"
check "64-bit-only machine, demo" "build-win64" "$(run TS_WIN32_RUNS=no "$arch" build-dir)"
check "64-bit-only machine, i686 forced" "2" "$(status TS_WIN32_RUNS=no TS_WINE_ARCH=win32 "$arch" build-dirs)"
check "64-bit-only machine, both forced" "2" "$(status TS_WIN32_RUNS=no TS_WINE_ARCH=both "$arch" build-dir)"
msg=$(env TS_WIN32_RUNS=no TS_WINE_ARCH=win32 "$arch" build-dir 2>&1 >/dev/null)
case "$msg" in *"i686 build cannot run here"*"TS_WINE_ARCH=win64"*) passes=$((passes + 1)) ;;
  *) echo "FAIL: forced i686 run gives no clear reason: $msg"; fails=$((fails + 1)) ;; esac
check "unknown override" "2" "$(status TS_WINE_ARCH=win16 "$arch" build-dirs)"

# The probe itself: its answer is whether the 32-bit loader executes.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then want=win32; else want=win64; fi
check "probe" "$want" "$(run "$arch" probe)"

# A build tree names its architecture; the twin's Wine is the 64-bit loader.
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/b32" "$tmp/b64"; echo win32 >"$tmp/b32/wine-arch"; echo win64 >"$tmp/b64/wine-arch"
check "build arch" "win32 win64" "$(bash -c ". '$arch'; echo \$(ts_build_arch '$tmp/b32') \$(ts_build_arch '$tmp/b64')")"
check "twin's wine" "$(dirname "$arch")/wine64/wine win64" \
  "$(env -u WINEARCH bash -c ". '$arch'; ts_use_wine win64; echo \$(command -v wine) \$WINEARCH")"
check "twin's loader" "/usr/lib/wine/wine64" "$(bash -c ". '$arch'; ts_use_wine win64; echo \$WINELOADER")"
check "i686's wine" "win32 unset" \
  "$(TS_WIN32_RUNS=yes WINELOADER=x bash -c ". '$arch'; ts_use_wine win32; echo \$WINEARCH \${WINELOADER:-unset}")"

# The i686 build in a 64-bit prefix (WoW64): a 64-bit prefix and loader for
# the system's programs, Debian's wine (the 32-bit loader) for the build's;
# refused, saying why, where 32-bit code cannot run.
wow=$(TS_WIN32_RUNS=yes env -u WINEARCH bash -c ". '$arch'; ts_use_wine wow64; echo \$WINEARCH \$WINELOADER; command -v wine")
check "wow64's prefix and loader" "win64 /usr/lib/wine/wine64" "$(head -n1 <<<"$wow")"
[ "$(tail -n1 <<<"$wow")" != "$(dirname "$arch")/wine64/wine" ] && passes=$((passes + 1)) ||
  { echo "FAIL: wow64 runs the i686 programs through the twin's 64-bit loader"; fails=$((fails + 1)); }
msg=$(TS_WIN32_RUNS=no bash -c ". '$arch'; ts_use_wine wow64" 2>&1); rc=$?
case "$rc $msg" in "2 "*"64-bit (WoW64) prefix"*) passes=$((passes + 1)) ;;
  *) echo "FAIL: wow64 where 32-bit code cannot run: exit $rc, '$msg'"; fails=$((fails + 1)) ;; esac

echo "wine-arch: $passes passed, $fails failed"
[ $fails = 0 ]
