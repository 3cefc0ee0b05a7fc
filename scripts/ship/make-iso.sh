#!/usr/bin/env bash
# Makes the CD image of a distribution medium:
#   make-iso.sh MEDIUM_DIR [ISO_FILE]
# The medium is checked first (check-medium.sh, which also refuses names that
# Joliet cannot hold). The image is ISO 9660 with Joliet, the Unicode names
# Windows reads (so "图框" and "安装界面" arrive as they are), and Rock Ridge
# for Linux. At its root it has an autorun.inf that starts setup.exe and
# gives the disc the product's icon, unless the medium brings its own.
#
# The medium's setup.exe decides what the image is: an i686 program makes the
# shipping image, volume TERRASUM_V8, by default MEDIUM_DIR/../Terrasum-V8.0.iso;
# the x86_64 twin (a test vehicle, never shipped) makes a test image, volume
# TERRASUM_V8_TEST, by default MEDIUM_DIR/../Terrasum-V8.0-x86_64-test.iso,
# labelled as such in its autorun.inf and its application id.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

die() { echo "make-iso: $*" >&2; exit 1; }
[ $# -ge 1 ] && [ $# -le 2 ] || die "usage: make-iso.sh MEDIUM_DIR [ISO_FILE]"
command -v xorriso >/dev/null || die "xorriso is missing (scripts/ship/install-deps.sh installs it)"
medium=$(cd "$1" 2>/dev/null && pwd) || die "$1 is not a folder"
"$here/check-medium.sh" "$medium" >/dev/null || die "$medium fails the medium check (see above): no image made"

# The machine type in the PE header of setup.exe (any letter case).
setup=$(find "$medium" -mindepth 1 -maxdepth 1 -type f -iname setup.exe -print -quit)
machine=$(python3 - "$setup" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read(4096)
pe = struct.unpack_from('<I', data, 0x3C)[0]
print({0x14C: 'i686', 0x8664: 'x86_64'}.get(struct.unpack_from('<H', data, pe + 4)[0], 'unknown'))
PY
)
case "$machine" in
  i686) volume=TERRASUM_V8 name=Terrasum-V8.0.iso label="Terrasum V8.0" application="Terrasum V8.0" ;;
  x86_64) volume=TERRASUM_V8_TEST name=Terrasum-V8.0-x86_64-test.iso label="Terrasum V8.0 (x86_64 test image)"
          application="Terrasum V8.0 x86_64 TEST IMAGE, not for shipping" ;;
  *) die "$setup is neither an i686 nor an x86_64 Windows program" ;;
esac
iso=${2:-$(dirname "$medium")/$name}

# The autorun.inf the image gets when the medium has none (Windows reads it
# in the system's code page; its texts are ASCII so that every system does).
autorun_text() {
  printf '[autorun]\r\nopen=setup.exe\r\nicon=TerrasumV8.0.ICO\r\nlabel=%s\r\n' "$label"
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
autorun=()
if [ -z "$(find "$medium" -mindepth 1 -maxdepth 1 -iname autorun.inf -print -quit)" ]; then
  autorun_text >"$tmp/autorun.inf"
  autorun=(-map "$tmp/autorun.inf" /autorun.inf)
fi

mkdir -p "$(dirname "$iso")"
rm -f "$iso.tmp"
# Names are read as UTF-8 whatever the caller's locale.
if ! xorriso -report_about WARNING -local_charset UTF-8 -outdev "$iso.tmp" \
     -joliet on -rockridge on -volid "$volume" -publisher Kelvarin -application_id "$application" \
     -map "$medium" / "${autorun[@]}" -commit >"$tmp/xorriso.log" 2>&1; then
  sed 's/^/  /' "$tmp/xorriso.log" >&2
  rm -f "$iso.tmp"
  die "xorriso could not make the image"
fi
mv -f "$iso.tmp" "$iso"
echo "make-iso: $iso ($machine, volume $volume, $(du -k "$iso" | cut -f1) KiB)"
