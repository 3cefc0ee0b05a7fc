#!/usr/bin/env bash
# Checks that a distribution medium holds everything Setup and the installed
# product name on it:   check-medium.sh MEDIUM_DIR
# Exit 0 when complete; 1 with one line per missing piece; 2 on wrong use.
# Names are compared without regard to letter case, as Windows looks them up.
set -uo pipefail
[ $# -eq 1 ] || { echo "usage: check-medium.sh MEDIUM_DIR" >&2; exit 2; }
medium=$1
[ -d "$medium" ] || { echo "check-medium: $medium is not a folder" >&2; exit 2; }

problems=0
report() { echo "check-medium: $*" >&2; problems=$((problems + 1)); }

# The entry of DIR whose name matches PATTERN without regard to case (the
# first one found), or nothing.
entry_ci() { find "$1" -mindepth 1 -maxdepth 1 -iname "$2" -print -quit 2>/dev/null; }

# Resolves a backslash-separated path below the medium, component by
# component without regard to case; prints the Linux path or nothing.
resolve() {
  local path=$medium part found
  local IFS='\'
  for part in $1; do
    [ -d "$path" ] || return 0
    found=$(entry_ci "$path" "$part")
    [ -n "$found" ] || return 0
    path=$found
  done
  echo "$path"
}

is_program() { [ "$(head -c 2 "$1" 2>/dev/null)" = "MZ" ]; }

need_file() { # name, what it is
  local found
  found=$(resolve "$1")
  if [ -z "$found" ]; then report "missing $1 ($2)"
  elif [ ! -f "$found" ]; then report "$1 is not a file ($2)"
  fi
}

need_program() {
  local found
  found=$(resolve "$1")
  need_file "$1" "$2"
  if [ -f "$found" ] && ! is_program "$found"; then report "$1 is not a Windows program ($2)"; fi
}

need_folder() {
  local found
  found=$(resolve "$1")
  if [ -z "$found" ]; then report "missing folder $1 ($2)"
  elif [ ! -d "$found" ]; then report "$1 is not a folder ($2)"
  fi
}

# At least one plain file matching the pattern in a folder of the medium.
need_match() { # folder, pattern, what it is
  local dir hit
  dir=$(resolve "$1")
  [ -d "$dir" ] || { report "missing $1\\$2 ($3)"; return; }
  hit=$(find "$dir" -mindepth 1 -maxdepth 1 -type f -iname "$2" -print -quit)
  [ -n "$hit" ] || report "missing $1\\$2 ($3)"
}

need_program setup.exe "the Setup program, started from the medium"
need_program Uninstall.exe "the uninstaller that Setup registers"
need_program Terrasum.exe "the product program the shortcuts start"
need_file TerrasumV8.0.ICO "the icon of the AutoCAD launch shortcuts"
need_file Kelvarin.url "the vendor's Internet shortcut"
need_file readme.txt "offered by the finish page"
for folder in Support Controls 图框 Data Temp; do
  need_folder "$folder" "copied by Setup"
done
need_folder 安装界面 "the slide-show pictures"
need_match Controls '*.ocx' "the controls Setup registers"
need_match 'Support\2007-09\Menu' 'SoilTuF*' "the menu named by the AutoCAD 2007-2009 profile"
need_match 安装界面 '*.jpg' "the slide-show pictures"

# Setup works with names in code page 936: an entry whose name has a
# character outside it (Korean, say) would not be copied at all.
check_names() {
  local path rel
  while IFS= read -r -d '' path; do
    rel=${path#"$medium"/}
    rel=${rel//\//\\}
    if ! printf '%s' "$(basename "$path")" | iconv -f UTF-8 -t CP936 >/dev/null 2>&1; then
      report "$rel: the name has a character outside code page 936 (GBK); Setup would not copy it"
    fi
  done < <(find "$medium" -mindepth 1 -print0)
}
check_names

url=$(resolve Kelvarin.url)
if [ -f "$url" ] && ! grep -q '^\[InternetShortcut\]' "$url"; then
  report "Kelvarin.url is not an Internet shortcut (no [InternetShortcut] section)"
fi

# A CD image carries the names Windows shows in its Joliet tree: UCS-2, at
# most 64 characters a name, no control characters and none of * / : ; ? \.
# A name outside that (or not even UTF-8 here, so that it cannot be
# converted) would reach the disc cut or mangled, and Setup would miss it.
check_joliet_names() {
  local line
  while IFS= read -r line; do report "$line"; done < <(python3 - "$1" <<'PY'
import os, sys

root = os.fsencode(sys.argv[1])
forbidden = set('*/:;?\\')
for folder, dirs, files in os.walk(root):
    dirs.sort()
    for raw in sorted(dirs + files):
        shown = os.path.relpath(os.path.join(folder, raw), root).decode('utf-8', 'backslashreplace').replace('/', '\\')
        try:
            name = raw.decode('utf-8')
        except UnicodeDecodeError:
            print(f'{shown}: the name is not UTF-8, so no Joliet name can be made of it')
            continue
        if any(ord(c) > 0xFFFF for c in name):
            print(f'{shown}: a character beyond U+FFFF, which a Joliet name (UCS-2) cannot hold')
        elif len(name) > 64:
            print(f'{shown}: {len(name)} characters, more than the 64 of a Joliet name')
        elif any(ord(c) < 0x20 or c in forbidden for c in name):
            print(f'{shown}: a control character or one of * / : ; ? \\, which a Joliet name cannot hold')
PY
  )
}
check_joliet_names "$medium"

if [ $problems -ne 0 ]; then
  echo "check-medium: $medium is incomplete ($problems problem(s))" >&2
  exit 1
fi
echo "check-medium: $medium is complete"
