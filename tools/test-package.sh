#!/usr/bin/env bash
# Builds the Debian package of the command-line tool from debian/ with dpkg-buildpackage, in a
# scratch copy of the tree (the build leaves its files beside the tree), holds it to lintian
# (any error or warning fails), then installs it (dpkg -i as root, else unpacked into a scratch
# folder) and runs the installed tool, its manual page and its bash completion once.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/sarnlink"
tar --exclude=./.git --exclude='./build*' --exclude=./out --exclude=./artifacts -cf - . |
  tar -xf - -C "$scratch/sarnlink"
(cd "$scratch/sarnlink" && dpkg-buildpackage -us -uc -b >"$scratch/build.log" 2>&1) ||
  { tail -n 40 "$scratch/build.log"; exit 1; }
changes=$(ls "$scratch"/sarnlink_*.changes)
package=$(ls "$scratch"/sarnlink_*.deb)
echo "package: $(basename "$package"), with $(basename "$(ls "$scratch"/sarnlink-dbgsym_*)")"
lintian --fail-on error,warning --info "$changes"
echo "lintian: no error and no warning"
if [ "$(id -u)" = 0 ]; then
  command -v man >/dev/null || apt-get install -y -qq man-db >/dev/null
  dpkg -i "$package" >/dev/null
  prefix=/usr
else
  dpkg-deb -x "$package" "$scratch/root"
  prefix=$scratch/root/usr
fi
"$prefix/bin/sarnlink" --version
MANPATH="$prefix/share/man" man -w sarnlink
bash -c "source '$prefix/share/bash-completion/completions/sarnlink'
  COMP_WORDS=(sarnlink exp); COMP_CWORD=1; _sarnlink
  [ \"\${COMPREPLY[*]}\" = export ] || { echo \"completion gave: \${COMPREPLY[*]}\"; exit 1; }"
test -f "$prefix/share/zsh/vendor-completions/_sarnlink"
echo "package: installed and ran"
