#!/usr/bin/env bash
# Installs what building and testing Sarnlink needs on Debian, skipping what is already there.
set -euo pipefail
packages=(cmake ninja-build g++ clang libsqlite3-dev sqlite3 libgtest-dev libbenchmark-dev
  libcli11-dev python3)
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
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
