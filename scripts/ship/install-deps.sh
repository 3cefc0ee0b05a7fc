#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test both programs.
# Idempotent: every step checks first, so a second run takes seconds.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "install-deps: adding the i386 architecture"
  $SUDO dpkg --add-architecture i386
fi

pkgs=(wine wine32:i386 wine64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
      binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
      cmake ninja-build make xvfb xauth x11-utils imagemagick fonts-wqy-microhei locales
      googletest libgtest-dev libgmock-dev libbenchmark-dev clang-14 libclang-rt-14-dev llvm-14
      gcc g++ python3 procps psmisc
      xorriso osslsigncode openssl icoutils)
for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done

if [ ${#need[@]} -gt 0 ]; then
  echo "install-deps: installing ${need[*]}"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

# zh_CN.UTF-8 gives Wine the ANSI code page 936 and decodes Chinese file names;
# the others run the programs as on an English (1252), Japanese (932) and
# Traditional Chinese (950) Windows.
for loc in zh_CN.UTF-8 en_US.UTF-8 ja_JP.UTF-8 zh_TW.UTF-8; do
  if ! locale -a 2>/dev/null | grep -qix "${loc%.UTF-8}.utf-\?8"; then
    echo "install-deps: generating $loc"
    $SUDO sed -i "s/^# *$loc UTF-8/$loc UTF-8/" /etc/locale.gen
    grep -q "^$loc UTF-8" /etc/locale.gen || echo "$loc UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    gen=1
  fi
done
[ -n "${gen:-}" ] && $SUDO locale-gen >/dev/null

echo "install-deps: all present"
