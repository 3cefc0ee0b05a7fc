#!/usr/bin/env bash
# The Wine tests of every build this machine can run (wine-arch.sh decides):
# the i686 build (the deliverables) wherever 32-bit code runs, and the x86_64
# twin as well; the twin alone where 32-bit code cannot run, and then the
# closing lines say what that leaves untested. Each test starts its own Xvfb
# (DISPLAY unset), so that tests running side by side never see each other's
# windows. The last line counts the tests of all builds run.
#   test-wine.sh            (JOBS: tests run side by side, default 2)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/wine-arch.sh"

# Probed once here; the answer passes on to every test's wine-run.sh.
ts_can_run_win32 || true
dirs=$("$here/wine-arch.sh" build-dirs) || exit 2
passed=0 failed=0 summary=()
# run_ctest BUILD WHAT [CTEST ARGS...]: counts the run into the totals.
run_ctest() {
  local build=$1 what=$2 log line f n; shift 2
  log=$build/wine-tests.log
  env -u DISPLAY ctest --test-dir "$build" -j "${JOBS:-2}" --output-on-failure "$@" 2>&1 | tee "$log"
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
  if [ -z "$line" ]; then
    echo "wine tests: ctest gave no summary for $build"
    failed=$((failed + 1)); summary+=("$what: no summary"); return
  fi
  f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  n=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + n - f)); failed=$((failed + f))
  summary+=("$what: $((n - f)) passed, $f failed")
}
for d in $dirs; do
  build=$root/$d
  what=$(ts_describe "$build")
  echo "wine tests: $what (template prefix $build/wine/template)"
  run_ctest "$build" "$what"
done
# The checks of the i686 files that need no Wine (their import tables: what
# Windows XP's loader accepts) run also where the i686 build is not run.
if ! grep -qx build <<<"$dirs"; then
  what="build (i686, the deliverables): the checks of its files, without Wine"
  echo "wine tests: $what"
  run_ctest "$root/build" "$what" -L files
fi

echo
for s in "${summary[@]}"; do echo "wine tests: $s"; done
if ! grep -qx build <<<"$dirs"; then
    if ts_can_run_win32; then
      echo "wine tests: only the x86_64 twin was tested (TS_WINE_ARCH=$TS_WINE_ARCH); the i686 deliverables were built, not run."
    else
      echo "wine tests: 32-bit code cannot run here ($(ts_why_no_win32)):"
      echo "wine tests: only the x86_64 twin was tested; the i686 deliverables were built, not run."
    fi
    echo "wine tests: untested here: $(ts_untested_on_twin)."
fi
echo "total: $passed passed, $failed failed"
[ "$failed" = 0 ]
