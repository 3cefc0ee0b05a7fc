#!/usr/bin/env bash
# Signing the medium's programs with a vendor's certificate. A throwaway CA
# and a code-signing certificate it issued are made with openssl; the PKCS#12
# file's password lies in a file. make-medium.sh then signs Setup and
# Uninstall: osslsigncode verifies both against that CA, on the medium and on
# the CD image made of it; one byte changed breaks the signature; another
# CA's root does not vouch for it. Without a certificate one line says the
# programs stay unsigned; a wrong password makes no medium at all.
#   signing-test.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../../scripts" && pwd)
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "signing-test: FAIL: $*"; failures=$((failures + 1)); }
verify() { osslsigncode verify -CAfile "$1" -in "$2" >"$tmp/verify.log" 2>&1; }

# The certificates: a CA, and a code-signing certificate it issued.
make_ca() {  # make_ca NAME
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$tmp/$1.key" -out "$tmp/$1.pem" -days 2 \
    -subj "/CN=$1" -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
}
make_ca "Terrasum Test CA" && make_ca "Another CA" || { echo "signing-test: openssl failed"; exit 1; }
ca="$tmp/Terrasum Test CA.pem"
openssl req -newkey rsa:2048 -nodes -keyout "$tmp/vendor.key" -out "$tmp/vendor.csr" \
  -subj "/CN=Kelvarin Test Code Signing/O=Kelvarin" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >"$tmp/ext"
openssl x509 -req -in "$tmp/vendor.csr" -CA "$ca" -CAkey "$tmp/Terrasum Test CA.key" -CAcreateserial \
  -days 2 -extfile "$tmp/ext" -out "$tmp/vendor.pem" 2>/dev/null
printf 'a password with spaces\n' >"$tmp/password"
chmod 600 "$tmp/password"
openssl pkcs12 -export -inkey "$tmp/vendor.key" -in "$tmp/vendor.pem" -certfile "$ca" \
  -passout "file:$tmp/password" -out "$tmp/vendor.p12" || { echo "signing-test: no PKCS#12 file"; exit 1; }

# Without a certificate: unsigned, said in one line.
env -u TS_SIGN_PKCS12 "$scripts/ship/make-medium.sh" "$build" "$tmp/unsigned" >"$tmp/unsigned.log" 2>&1 ||
  fail "make-medium without a certificate failed: $(cat "$tmp/unsigned.log")"
[ "$(grep -c 'programs stay unsigned$' "$tmp/unsigned.log")" = 1 ] || fail "not one line about the unsigned programs: $(cat "$tmp/unsigned.log")"
verify "$ca" "$tmp/unsigned/setup.exe" && fail "an unsigned setup.exe verified"

# With the vendor's certificate.
TS_SIGN_PKCS12=$tmp/vendor.p12 TS_SIGN_PASSWORD_FILE=$tmp/password \
  "$scripts/ship/make-medium.sh" "$build" "$tmp/signed" >"$tmp/signed.log" 2>&1 ||
  fail "make-medium with a certificate failed: $(cat "$tmp/signed.log")"
grep -q 'signed setup.exe (SHA-256)' "$tmp/signed.log" && grep -q 'signed Uninstall.exe (SHA-256)' "$tmp/signed.log" ||
  fail "make-medium did not say what it signed: $(cat "$tmp/signed.log")"
for program in setup.exe Uninstall.exe; do
  if verify "$ca" "$tmp/signed/$program"; then
    grep -q 'Message digest algorithm  : SHA256' "$tmp/verify.log" || fail "$program: not a SHA-256 signature"
    grep -q 'URL description: http://www.kelvarin.example/terrasum/' "$tmp/verify.log" || fail "$program: no URL"
    grep -q 'Subject: .*CN *= *Kelvarin Test Code Signing' "$tmp/verify.log" || fail "$program: not the vendor's certificate"
  else
    fail "$program on the medium does not verify against the CA: $(tail -n 5 "$tmp/verify.log")"
  fi
  verify "$tmp/Another CA.pem" "$tmp/signed/$program" && fail "$program verified against a CA that did not issue the certificate"
done
grep -q 'Text description: 土方工程量计算软件 Terrasum V8.0 安装程序' < <(verify "$ca" "$tmp/signed/setup.exe"; cat "$tmp/verify.log") ||
  fail "setup.exe: not the product's description"

# One byte changed in the program's code: the signature no longer holds.
cp "$tmp/signed/setup.exe" "$tmp/tampered.exe"
offset=$((0x600))
byte=$(od -An -tu1 -j "$offset" -N1 "$tmp/tampered.exe" | tr -d ' ')
printf "\\$(printf '%03o' $(((byte + 1) % 256)))" | dd of="$tmp/tampered.exe" bs=1 seek="$offset" conv=notrunc 2>/dev/null
cmp -s "$tmp/signed/setup.exe" "$tmp/tampered.exe" && fail "the byte was not changed"
verify "$ca" "$tmp/tampered.exe" && fail "setup.exe with one byte changed still verifies"

# The CD image lays the signed files as they are.
"$scripts/ship/make-iso.sh" "$tmp/signed" "$tmp/signed.iso" >"$tmp/iso.log" 2>&1 || fail "no image: $(cat "$tmp/iso.log")"
xorriso -osirrox on -read_fs norock -local_charset UTF-8 -indev "$tmp/signed.iso" \
  -extract /setup.exe "$tmp/from-image.exe" >/dev/null 2>&1
verify "$ca" "$tmp/from-image.exe" || fail "setup.exe from the image does not verify"

# A wrong password: no medium, and the old one stays as it was.
printf 'not the password\n' >"$tmp/wrong"
TS_SIGN_PKCS12=$tmp/vendor.p12 TS_SIGN_PASSWORD_FILE=$tmp/wrong \
  "$scripts/ship/make-medium.sh" "$build" "$tmp/signed" >"$tmp/wrong.log" 2>&1 && fail "signing with a wrong password succeeded"
grep -q 'signing .*setup.exe failed' "$tmp/wrong.log" || fail "the failure does not name the program: $(cat "$tmp/wrong.log")"
verify "$ca" "$tmp/signed/setup.exe" || fail "the earlier signed medium was touched"
grep -qF 'a password' "$tmp/wrong.log" "$tmp/signed.log" && fail "a password was printed"

[ $failures = 0 ] && echo "signing-test: passed" || echo "signing-test: $failures failure(s)"
exit $((failures > 0))
