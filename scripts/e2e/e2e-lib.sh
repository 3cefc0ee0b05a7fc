# Shared by the end-to-end tests (sourced after wine-lib.sh, with $here and
# $build set): a fresh prefix cloned from the template with the medium on E:,
# D: a folder of its own, the build tree on Y:, a private display, and the
# failure count.

# e2e_start TAG OUT [KIND]: sets tag, out, prefix, medium, WINEPREFIX,
# failures; KIND names a template of another kind (wow64).
e2e_start() {
  tag=$1 out=$2
  local kind=${3:-}
  prefix=$out/prefix
  medium=$build/testmedia/medium
  [ -f "$medium/setup.exe" ] || medium=$build/medium
  [ -f "$medium/setup.exe" ] || { echo "$tag: no medium (make medium)"; return 2; }
  local tpl=$build/wine/template${kind:+-$kind}
  "$here/../wine/wine-template.sh" "$tpl" ${kind:+"$kind"} || return 2
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
  rm -rf "$out"
  mkdir -p "$out"
  clone_prefix "$tpl" "$prefix"
  cp -a "$medium" "$prefix/medium"
  map_drive "$prefix" e "$prefix/medium"
  map_drive "$prefix" d "$prefix/drive_d"
  map_drive "$prefix" y "$build"
  export WINEPREFIX=$prefix
  xpid="" failures=0
  trap e2e_cleanup EXIT
  [ -z "${DISPLAY:-}" ] && { start_xvfb "$out/display"; xpid=$XVFB_PID; }
  return 0
}
e2e_cleanup() {
  wineserver -k >/dev/null 2>&1
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
}
fail() { echo "$tag: FAIL: $*"; failures=$((failures + 1)); }
# wine_c COMMAND...: a Wine program started in C:\, with no input.
wine_c() { (cd "$prefix/drive_c" && timeout -k 10 300 wine "$@" </dev/null); }
