#!/usr/bin/env bash
# Signs programs in place with the vendor's code-signing certificate
# (Authenticode, SHA-256, with osslsigncode):
#   sign-programs.sh FILE DESCRIPTION [FILE DESCRIPTION ...]
# DESCRIPTION is the program's name as Windows shows it in the signature
# (and in the administrator prompt).
#
# The certificate and its password are named by files, so that no secret is
# ever on a command line that other users of the machine can read:
#   TS_SIGN_PKCS12          the PKCS#12 file (.p12 / .pfx) with the key and
#                           its certificate chain; unset: nothing is signed,
#                           and one line says so
#   TS_SIGN_PASSWORD_FILE   a file whose first line is the PKCS#12 password
#                           (unset: the PKCS#12 file has no password)
#   TS_SIGN_TIMESTAMP_URL   an RFC 3161 time-stamp server (optional; without
#                           one the signature is valid only while the
#                           certificate is)
#   TS_SIGN_URL             the vendor's web address in the signature
#                           (default http://www.kelvarin.example/terrasum/)
# Signing is the last change a program may get: whatever modifies the file
# afterwards breaks the signature.
set -euo pipefail

die() { echo "sign-programs: $*" >&2; exit 1; }
[ $# -ge 2 ] && [ $(($# % 2)) -eq 0 ] || die "usage: sign-programs.sh FILE DESCRIPTION [FILE DESCRIPTION ...]"

if [ -z "${TS_SIGN_PKCS12:-}" ]; then
  echo "sign-programs: no certificate (TS_SIGN_PKCS12 unset): the programs stay unsigned"
  exit 0
fi
command -v osslsigncode >/dev/null || die "osslsigncode is missing (scripts/ship/install-deps.sh installs it)"
[ -f "$TS_SIGN_PKCS12" ] && [ -r "$TS_SIGN_PKCS12" ] || die "TS_SIGN_PKCS12=$TS_SIGN_PKCS12 is not a readable file"
password=()
if [ -n "${TS_SIGN_PASSWORD_FILE:-}" ]; then
  [ -f "$TS_SIGN_PASSWORD_FILE" ] && [ -r "$TS_SIGN_PASSWORD_FILE" ] ||
    die "TS_SIGN_PASSWORD_FILE=$TS_SIGN_PASSWORD_FILE is not a readable file"
  password=(-readpass "$TS_SIGN_PASSWORD_FILE")
fi
timestamp=()
[ -n "${TS_SIGN_TIMESTAMP_URL:-}" ] && timestamp=(-ts "$TS_SIGN_TIMESTAMP_URL")
url=${TS_SIGN_URL:-http://www.kelvarin.example/terrasum/}

while [ $# -gt 0 ]; do
  file=$1 description=$2
  shift 2
  [ -f "$file" ] || die "$file is not a file"
  signed=$(mktemp "$(dirname "$file")/.signing.XXXXXX")
  # osslsigncode refuses to overwrite its output.
  rm -f "$signed"
  if ! osslsigncode sign -pkcs12 "$TS_SIGN_PKCS12" "${password[@]}" -h sha256 \
       -n "$description" -i "$url" "${timestamp[@]}" -in "$file" -out "$signed" >"$signed.log" 2>&1; then
    sed 's/^/  /' "$signed.log" >&2
    rm -f "$signed" "$signed.log"
    die "signing $file failed"
  fi
  rm -f "$signed.log"
  chmod --reference="$file" "$signed"
  mv -f "$signed" "$file"
  echo "sign-programs: signed $(basename "$file") (SHA-256${TS_SIGN_TIMESTAMP_URL:+, time-stamped by $TS_SIGN_TIMESTAMP_URL})"
done
