#!/usr/bin/env bash
# Lays out the sample distribution medium of Terrasum V8.0:
#   make-medium.sh [BUILD_DIR [OUT_DIR]]      (defaults: build, BUILD_DIR/medium)
# OUT_DIR is made anew every time: the Setup program as setup.exe, the
# uninstaller, the product program Terrasum.exe, its icon, the vendor's
# Internet shortcut, readme.txt (code page 936, CR LF), the five folders that
# Setup copies (Support, Controls, 图框, Data, Temp) and the slide-show
# pictures in 安装界面. Names with Chinese characters are UTF-8 here; Wine in
# the zh_CN.UTF-8 locale shows them to the programs in code page 936.
# The programs on the medium are release copies of BUILD_DIR/bin's: stripped
# of their debug sections, which go to BUILD_DIR/debug/NAME.debug (named in
# each program's .gnu_debuglink, for reading crash addresses), then Setup
# and Uninstall are signed with the vendor's certificate when one is given
# (sign-programs.sh: TS_SIGN_PKCS12, TS_SIGN_PASSWORD_FILE, ...). Nothing
# touches a program after that.
# The finished medium is checked with check-medium.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
payload=$src/medium/payload
build=$(cd "${1:-build}" && pwd)
out=${2:-$build/medium}

die() { echo "make-medium: $*" >&2; exit 1; }

for tool in convert iconv; do
  command -v "$tool" >/dev/null || die "$tool is missing (scripts/ship/install-deps.sh installs it)"
done
for built in Setup.exe Uninstall.exe TerrasumSample.exe TerrasumGrid.ocx; do
  [ -f "$build/bin/$built" ] || die "$build/bin/$built is missing: build first (make build)"
done

# OUT_DIR is deleted and made again, so refuse anything that is not plainly
# a medium of ours: an existing non-empty folder must hold setup.exe.
out_abs=$(realpath -m "$out")
case "$out_abs" in
  / | "$src" | "$build" | "${HOME:-/}" | "$payload"*) die "refusing to rebuild $out_abs" ;;
esac
# Build trees configured before the payload moved to BUILD_DIR/payload hold
# CMake's files for it in BUILD_DIR/medium; those may go.
only_cmake_leftovers() {
  local entry
  for entry in "$1"/* "$1"/.[!.]*; do
    [ -e "$entry" ] || continue
    case "${entry##*/}" in CMakeFiles | cmake_install.cmake) ;; *) return 1 ;; esac
  done
}
if [ -e "$out_abs" ]; then
  [ -d "$out_abs" ] || die "$out_abs exists and is not a folder"
  if [ -n "$(ls -A "$out_abs")" ] && [ ! -f "$out_abs/setup.exe" ] && ! only_cmake_leftovers "$out_abs"; then
    die "$out_abs is not empty and holds no setup.exe: not a medium, left alone"
  fi
fi

# Text for Windows: UTF-8 source to code page 936 with CR LF line ends.
to_windows_text() { iconv -f UTF-8 -t GBK "$1" | sed 's/$/\r/' >"$2"; }

# The drawing frames: DXF (AutoCAD R12) drawings of a sheet with its inner
# border (binding margin on the left) and a title block, sizes in mm.
dxf_line() { printf '0\nLINE\n8\n0\n10\n%s\n20\n%s\n11\n%s\n21\n%s\n' "$@"; }
dxf_rect() { # x1 y1 x2 y2
  dxf_line "$1" "$2" "$3" "$2"; dxf_line "$3" "$2" "$3" "$4"
  dxf_line "$3" "$4" "$1" "$4"; dxf_line "$1" "$4" "$1" "$2"
}
dxf_text() { printf '0\nTEXT\n8\n0\n10\n%s\n20\n%s\n40\n%s\n1\n%s\n' "$@"; }
write_frame() { # file title width height margin
  local file=$1 title=$2 w=$3 h=$4 m=$5
  local right=$((w - m)) top=$((h - m)) tbx=$((w - m - 180))
  {
    printf '0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n9\n$DWGCODEPAGE\n3\nANSI_936\n'
    printf '9\n$EXTMIN\n10\n0.0\n20\n0.0\n9\n$EXTMAX\n10\n%s\n20\n%s\n0\nENDSEC\n' "$w" "$h"
    printf '0\nSECTION\n2\nENTITIES\n'
    dxf_rect 0 0 "$w" "$h"
    dxf_rect 25 "$m" "$right" "$top"
    dxf_rect "$tbx" "$m" "$right" $((m + 40))
    dxf_line "$tbx" $((m + 20)) "$right" $((m + 20))
    dxf_line $((tbx + 100)) "$m" $((tbx + 100)) $((m + 40))
    dxf_text $((tbx + 4)) $((m + 26)) 7 "$title"
    dxf_text $((tbx + 4)) $((m + 6)) 5 "土方工程量计算软件 Terrasum V8.0"
    dxf_text $((tbx + 104)) $((m + 26)) 5 "图号:"
    dxf_text $((tbx + 104)) $((m + 6)) 5 "比例:"
    printf '0\nENDSEC\n0\nEOF\n'
  } | iconv -f UTF-8 -t GBK | sed 's/$/\r/' >"$file"
}

# A CJK font for the pictures; without one the texts fall back to Latin.
cjk_font=$(fc-match -f '%{file}' 'WenQuanYi Micro Hei' 2>/dev/null || true)
case "$cjk_font" in *wqy* | *[Cc][Jj][Kk]*) ;; *) cjk_font="" ;; esac
latin_font=$(fc-match -f '%{file}' 'DejaVu Sans:bold' 2>/dev/null || true)
title_font=${cjk_font:-$latin_font}
say() { if [ -n "$cjk_font" ]; then echo "$1"; else echo "$2"; fi; }

# Slide-show pictures of three proportions (4:3, square, 16:9), drawn here.
make_pictures() {
  local dir=$1 font_arg=()
  [ -n "$title_font" ] && font_arg=(-font "$title_font")
  convert -size 1024x768 gradient:'#bfe3f5'-'#f4efe1' \
    -fill '#8d6e63' -draw 'polygon 0,768 0,520 180,470 360,540 560,450 760,520 1024,430 1024,768' \
    -fill '#6d4c41' -draw 'polygon 0,768 0,640 300,600 620,650 1024,590 1024,768' \
    -stroke '#2e7d32' -strokewidth 3 -draw 'line 0,560 1024,560' -stroke none \
    "${font_arg[@]}" -fill '#1b5e20' -pointsize 64 -gravity north \
    -annotate +0+120 "$(say '土方工程量计算软件' 'Earthwork Quantities')" \
    -fill '#263238' -pointsize 48 -annotate +0+220 'Terrasum V8.0' \
    -fill '#37474f' -pointsize 28 -annotate +0+300 "$(say '示例安装介质 · 欢迎安装' 'Sample distribution medium')" \
    -strip -quality 90 "$dir/01-欢迎.jpg"

  local grid=() x y
  for x in 100 250 400 550 700; do grid+=(-draw "line $x,200 $x,700"); done
  for y in 200 325 450 575 700; do grid+=(-draw "line 100,$y 700,$y"); done
  convert -size 800x800 xc:'#fafafa' \
    -fill '#ffcdd2' -draw 'rectangle 100,200 400,450' -fill '#c8e6c9' -draw 'rectangle 400,450 700,700' \
    -stroke '#455a64' -strokewidth 2 "${grid[@]}" -stroke none \
    -stroke '#d32f2f' -strokewidth 4 \
    -draw 'line 100,520 330,450' -draw 'line 330,450 470,330' -draw 'line 470,330 700,260' -stroke none \
    "${font_arg[@]}" -fill '#1b5e20' -pointsize 52 -gravity north \
    -annotate +0+50 "$(say '方格网法计算土方' 'Grid method')" \
    -fill '#263238' -pointsize 30 -annotate +0+730 'Terrasum V8.0' \
    -strip -quality 90 "$dir/02-方格网法.jpg"

  convert -size 1280x720 gradient:'#e3f2fd'-'#ffffff' \
    -fill '#ffccbc' -draw 'polygon 140,430 420,300 640,380 762,430' \
    -fill '#c5e1a5' -draw 'polygon 762,430 860,470 1140,520 1140,430' \
    -stroke '#5d4037' -strokewidth 5 -draw 'line 140,430 420,300' -draw 'line 420,300 640,380' \
    -draw 'line 640,380 860,470' -draw 'line 860,470 1140,520' \
    -stroke '#1565c0' -strokewidth 4 -draw 'line 140,430 1140,430' -stroke none \
    "${font_arg[@]}" -fill '#1b5e20' -pointsize 60 -gravity north \
    -annotate +0+60 "$(say '断面法计算土方' 'Cross-section method')" \
    -fill '#263238' -pointsize 36 -annotate +0+600 "$(say '土方工程量计算软件 Terrasum V8.0' 'Terrasum V8.0')" \
    -strip -quality 90 "$dir/03-断面法.jpg"
}

# The build's own binutils (i686 or x86_64), as CMake found them.
cache_tool() { sed -n "s/^$1:FILEPATH=//p" "$build/CMakeCache.txt" 2>/dev/null; }
objcopy=$(cache_tool CMAKE_OBJCOPY)
strip=$(cache_tool CMAKE_STRIP)
[ -x "$objcopy" ] && [ -x "$strip" ] || die "no objcopy/strip in $build/CMakeCache.txt: configure the build first"

# release_program NAME TARGET: BUILD_DIR/bin/NAME stripped into TARGET, its
# debug sections kept in BUILD_DIR/debug/NAME.debug and linked from TARGET.
debug_dir=$build/debug
release_program() {
  local name=$1 target=$2 debug=$debug_dir/$1.debug
  mkdir -p "$debug_dir"
  "$objcopy" --only-keep-debug "$build/bin/$name" "$debug.tmp.$$"
  mv -f "$debug.tmp.$$" "$debug"
  "$strip" --strip-all -o "$target" "$build/bin/$name"
  "$objcopy" --add-gnu-debuglink="$debug" "$target"
}

mkdir -p "$(dirname "$out_abs")"
tmp=$(mktemp -d "$(dirname "$out_abs")/.medium.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

# Top-level files.
release_program Setup.exe "$tmp/setup.exe"
release_program Uninstall.exe "$tmp/Uninstall.exe"
release_program TerrasumSample.exe "$tmp/Terrasum.exe"
cp "$src/medium/terrasum/Terrasum.ico" "$tmp/TerrasumV8.0.ICO"
printf '[InternetShortcut]\r\nURL=http://www.kelvarin.example/terrasum/\r\n' >"$tmp/Kelvarin.url"
to_windows_text "$payload/readme.txt" "$tmp/readme.txt"

# Support and Data: text files become code page 936 with CR LF; the CUI file
# is XML that declares UTF-8, so only its line ends change.
for folder in Support Data; do
  (cd "$payload" && find "$folder" -type d) | while IFS= read -r d; do mkdir -p "$tmp/$d"; done
  (cd "$payload" && find "$folder" -type f) | while IFS= read -r f; do
    case "$f" in
      *.cui) sed 's/$/\r/' "$payload/$f" >"$tmp/$f" ;;
      *) to_windows_text "$payload/$f" "$tmp/$f" ;;
    esac
  done
done

mkdir -p "$tmp/Controls" "$tmp/Temp" "$tmp/图框" "$tmp/安装界面"
release_program TerrasumGrid.ocx "$tmp/Controls/TerrasumGrid.ocx"
write_frame "$tmp/图框/A1横式图框.dxf" "A1 横式图框" 841 594 10
write_frame "$tmp/图框/A3横式图框.dxf" "A3 横式图框" 420 297 5
write_frame "$tmp/图框/A4竖式图框.dxf" "A4 竖式图框" 210 297 5
make_pictures "$tmp/安装界面"

# Signed last: nothing may change a program after its signature.
"$here/sign-programs.sh" "$tmp/setup.exe" "土方工程量计算软件 Terrasum V8.0 安装程序" \
  "$tmp/Uninstall.exe" "土方工程量计算软件 Gravo V6.0 卸载程序" | sed 's/^sign-programs/make-medium/'

"$here/check-medium.sh" "$tmp" >/dev/null || die "the medium laid out in $tmp is incomplete (see above)"

chmod 755 "$tmp"
rm -rf "$out_abs"
mv "$tmp" "$out_abs"
trap - EXIT
echo "make-medium: sample medium in $out_abs"
