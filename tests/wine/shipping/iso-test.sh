#!/usr/bin/env bash
# The CD image of the test medium, read back with xorriso: its Joliet tree
# (what Windows reads) holds every file and folder of the medium under its
# own, Chinese, name and nothing else but autorun.inf; the files are the
# medium's byte for byte; Rock Ridge is there for Linux; the volume label
# says whether it is the shipping image or the twin's test image;
# autorun.inf starts setup.exe and names the product's icon; the programs on
# it are release programs (program_test.py). A medium with a name Joliet
# cannot hold makes no image; one with its own autorun.inf keeps it.
#   iso-test.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../../scripts" && pwd)
build=$(cd "$1" && pwd)
medium=$build/testmedia/medium
[ -f "$medium/setup.exe" ] || { echo "iso-test: no test medium in $medium"; exit 2; }
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
failures=0
fail() { echo "iso-test: FAIL: $*"; failures=$((failures + 1)); }
xorriso_in() { xorriso -report_about WARNING -local_charset UTF-8 "$@" 2>/dev/null; }

if [ "$(head -n1 "$build/wine-arch")" = win64 ]; then
  name=Terrasum-V8.0-x86_64-test.iso volume=TERRASUM_V8_TEST label="Terrasum V8.0 (x86_64 test image)"
else
  name=Terrasum-V8.0.iso volume=TERRASUM_V8 label="Terrasum V8.0"
fi

# The default name beside the medium.
cp -a "$medium" "$tmp/medium"
"$scripts/ship/make-iso.sh" "$tmp/medium" >"$tmp/make.log" 2>&1 || fail "make-iso failed: $(cat "$tmp/make.log")"
iso=$tmp/$name
[ -f "$iso" ] || { fail "no image $name beside the medium: $(ls "$tmp")"; exit 1; }

# Volume label, and both trees.
xorriso_in -indev "$iso" -pvd_info | grep -qx "Volume Id    : $volume" || fail "volume id is not $volume"
xorriso_in -indev "$iso" -toc | grep -q 'ISO loaded *: Rock_Ridge' || fail "no Rock Ridge tree"
xorriso_in -read_fs norock -indev "$iso" -toc | grep -q 'ISO loaded *: Joliet' || fail "no Joliet tree"

# The Joliet listing: every entry of the medium, and autorun.inf.
xorriso_in -read_fs norock -indev "$iso" -find / | sed "s/^'\\(.*\\)'\$/\\1/" | sort >"$tmp/joliet.txt"
{ (cd "$medium" && find . -mindepth 1 | sed 's|^\.||'); echo /; echo /autorun.inf; } | sort >"$tmp/expected.txt"
if ! diff "$tmp/expected.txt" "$tmp/joliet.txt" >"$tmp/listing.diff"; then
  fail "the Joliet listing differs from the medium (< medium, > image):"
  head -n 20 "$tmp/listing.diff"
fi
for chinese in /图框 /安装界面 /安装界面/01-欢迎.jpg /图框/A1横式图框.dxf /Data/土质参数.ini; do
  grep -qxF "$chinese" "$tmp/joliet.txt" || fail "the Joliet tree lacks $chinese"
done

# Extracted through Joliet, as Windows reads the disc: the medium's bytes.
xorriso_in -osirrox on -read_fs norock -indev "$iso" -extract / "$tmp/cd" >/dev/null
while IFS= read -r f; do
  cmp -s "$medium/$f" "$tmp/cd/$f" || fail "$f on the image is not the medium's"
done < <(cd "$medium" && find . -type f)
printf '[autorun]\r\nopen=setup.exe\r\nicon=TerrasumV8.0.ICO\r\nlabel=%s\r\n' "$label" >"$tmp/autorun.expected"
cmp -s "$tmp/autorun.expected" "$tmp/cd/autorun.inf" || fail "autorun.inf is not as specified: $(od -c "$tmp/cd/autorun.inf" | head -n 8)"
[ -f "$tmp/cd/setup.exe" ] && [ -f "$tmp/cd/TerrasumV8.0.ICO" ] || fail "autorun.inf names files that are not at the root"
python3 "$here/program_test.py" "$build" "$tmp/cd" >"$tmp/programs.log" 2>&1 || {
  fail "the programs on the image:"
  grep FAIL "$tmp/programs.log"
}

# A name that Joliet cannot hold: the check names it, no image is made.
long=$(printf '图%.0s' $(seq 65)).dxf
cp "$medium/图框/A1横式图框.dxf" "$tmp/medium/图框/$long"
rm -f "$iso"
if "$scripts/ship/make-iso.sh" "$tmp/medium" >"$tmp/long.log" 2>&1; then fail "an image was made of a medium with a 69-character name"; fi
grep -qF "图框\\$long: 69 characters" "$tmp/long.log" || fail "the check does not name the long name: $(cat "$tmp/long.log")"
[ -e "$iso" ] && fail "an image file was left"
rm -f "$tmp/medium/图框/$long"

# The vendor's own autorun.inf (any letter case) is kept as it is.
printf '[autorun]\r\nopen=setup.exe\r\nlabel=Vendor\r\n' >"$tmp/medium/AUTORUN.INF"
"$scripts/ship/make-iso.sh" "$tmp/medium" "$tmp/own.iso" >"$tmp/own.log" 2>&1 || fail "make-iso with the vendor's autorun.inf: $(cat "$tmp/own.log")"
xorriso_in -read_fs norock -indev "$tmp/own.iso" -find / | grep -ix "'/autorun.inf'" >"$tmp/own.txt"
[ "$(wc -l <"$tmp/own.txt")" = 1 ] || fail "not one autorun.inf on the image: $(cat "$tmp/own.txt")"
xorriso_in -osirrox on -read_fs norock -indev "$tmp/own.iso" -extract /AUTORUN.INF "$tmp/own.inf" >/dev/null
cmp -s "$tmp/medium/AUTORUN.INF" "$tmp/own.inf" || fail "the vendor's autorun.inf was not kept"

[ $failures = 0 ] && echo "iso-test: passed ($name)" || echo "iso-test: $failures failure(s)"
exit $((failures > 0))
