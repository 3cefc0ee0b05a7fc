# Shared by the Wine scripts (sourced): prefixes cloned from the template,
# drive letters, a private Xvfb display. Which Wine a build tree needs is
# decided in wine-arch.sh: call ts_use_wine "$(ts_build_arch BUILD)" first.

. "$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh"
# Wine takes a program's ANSI and OEM code pages from its Unix locale:
# zh_CN.UTF-8 gives 936, as on a Chinese Windows. TS_LOCALE runs the programs
# as on a Windows of another language (en_US.UTF-8: 1252, ja_JP.UTF-8: 932,
# zh_TW.UTF-8: 950).
TS_LOCALE=${TS_LOCALE:-zh_CN.UTF-8}
export WINEDEBUG=-all LC_ALL=$TS_LOCALE LANG=$TS_LOCALE TS_LOCALE

# ts_check_locale LOCALE: fails, saying so, when the locale is not generated
# (Wine would silently take the C locale instead).
ts_check_locale() {
  locale -a 2>/dev/null | grep -qix "$(sed -E 's/\.UTF-?8$//I' <<<"$1").utf-\?8" && return 0
  echo "wine: the locale $1 is not generated here (scripts/ship/install-deps.sh generates it)" >&2
  return 1
}

# ts_code_page LOCALE: the ANSI code page Wine gives programs under it.
ts_code_page() {
  case $1 in
    zh_CN*|zh_SG*) echo 936;; zh_TW*|zh_HK*) echo 950;; ja_JP*) echo 932;; ko_KR*) echo 949;;
    ru_*|uk_*|bg_*) echo 1251;; pl_*|cs_*|hu_*) echo 1250;; en_*|de_*|fr_*|es_*|it_*|pt_*|nl_*) echo 1252;;
    *) echo "that of the locale";;
  esac
}

# with_locale LOCALE COMMAND...: one command under another locale.
with_locale() {
  local loc=$1; shift
  LC_ALL=$loc LANG=$loc "$@"
}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# clone_prefix TEMPLATE DEST: system32 hard-linked, everything else copied.
clone_prefix() {
  local tpl=$1 dest=$2
  mkdir -p "$dest"
  cp -al "$tpl/." "$dest/"
  # Break the links of everything outside the system folders (system32, and
  # syswow64 in a 64-bit prefix): Wine may write those files.
  find "$dest" -type f -links +1 ! -path "$dest/drive_c/windows/system32/*" \
    ! -path "$dest/drive_c/windows/syswow64/*" -print0 |
    while IFS= read -r -d '' f; do cp -p "$f" "$f.tmp" && mv -f "$f.tmp" "$f"; done
}

# map_drive PREFIX LETTER UNIX_DIR
map_drive() {
  mkdir -p "$3"
  ln -sfn "$(cd "$3" && pwd)" "$1/dosdevices/$2:"
}

# start_xvfb FILE: starts a private display, sets DISPLAY and XVFB_PID.
start_xvfb() {
  local file=$1
  : >"$file"
  exec 3>"$file"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  exec 3>&-
  for _ in $(seq 100); do [ -s "$file" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$file")"
}
