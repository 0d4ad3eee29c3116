#!/usr/bin/env bash
# Builds the Debian package of the command-line tool, installs it (dpkg -i as root, else into a
# fresh prefix with cmake --install) and runs the installed tool, its manual page and its bash
# completion once.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DSARNLINK_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build-package
(cd build-package && cpack >/dev/null)
package=$(ls build-package/sarnlink_*.deb)
echo "package: $package"
if [ "$(id -u)" = 0 ]; then
  command -v man >/dev/null || apt-get install -y -qq man-db >/dev/null
  dpkg -i "$package" >/dev/null
  prefix=/usr
else
  prefix=$(mktemp -d)
  cmake --install build-package --prefix "$prefix" >/dev/null
fi
"$prefix/bin/sarnlink" --version
MANPATH="$prefix/share/man" man -w sarnlink
bash -c "source '$prefix/share/bash-completion/completions/sarnlink'
  COMP_WORDS=(sarnlink exp); COMP_CWORD=1; _sarnlink
  [ \"\${COMPREPLY[*]}\" = export ] || { echo \"completion gave: \${COMPREPLY[*]}\"; exit 1; }"
test -f "$prefix/share/zsh/vendor-completions/_sarnlink"
echo "package: installed and ran"
