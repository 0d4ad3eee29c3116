#!/usr/bin/env bash
# Installs what building and testing Sarnlink needs on Debian, skipping what is already there.
set -euo pipefail
packages=(cmake ninja-build g++ clang libsqlite3-dev sqlite3 libgtest-dev libbenchmark-dev
  libcli11-dev python3 pkg-config mdbtools-dev gettext locales debhelper dpkg-dev lintian zsh)
# `install-deps.sh windows`: the cross-compilers, widl and wine64 for the Windows component, and
# 32-bit Wine for the i686 DLL users install (qemu-user runs it where the kernel cannot, and Wine
# needs its preloader there), and NSIS for its installer. The i386 packages need the i386
# architecture.
if [ "${1:-}" = windows ]; then
  packages+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools wine64 wine64-tools libwine-dev
    xvfb xauth imagemagick fonts-ipafont-gothic wine32:i386 wine32-preloader:i386 qemu-user nsis)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    if [ "$(id -u)" != 0 ]; then
      echo "install as root: dpkg --add-architecture i386" >&2
      exit 1
    fi
    dpkg --add-architecture i386
  fi
fi
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "install as root: apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The tests run the tool under a Japanese locale as well as under C.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  if [ "$(id -u)" = 0 ]; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  else
    echo "as root: localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 (the Japanese tests skip without it)" >&2
  fi
fi
