#!/usr/bin/env bash
# Gathers the texts the tool shows (marked with Say, SayN, ShownOne and ShownCount) into
# po/sarnlink.pot and merges them into each catalog, po/LANG.po; a new text then waits in the
# catalogs, untranslated, until a translator fills it in.
# Usage: tools/update-po.sh [--check]   (--check: fail if a catalog lacks a text or a translation)
set -euo pipefail
cd "$(dirname "$0")/.."
template=$(mktemp)
trap 'rm -f "$template"' EXIT
find src -name '*.cpp' -o -name '*.h' | LC_ALL=C sort |
  xgettext --from-code=UTF-8 --language=C++ --no-wrap --sort-by-file --package-name=sarnlink \
    --keyword= --keyword=Say --keyword=SayN:1,2 --keyword=ShownOne:1 --keyword=ShownCount:1,2 \
    --files-from=- --output="$template"
if [ "${1:-}" = --check ]; then
  status=0
  for catalog in po/*.po; do
    missing=$(msgcmp --use-untranslated "$catalog" "$template" 2>&1) || {
      echo "$catalog lacks texts the tool shows:"; echo "$missing"; status=1; }
  done
  # Japanese: every text translated, none fuzzy.
  for catalog in po/*.po; do
    msgfmt --check -o /dev/null "$catalog" || { echo "$catalog does not build"; status=1; }
  done
  stats=$(msgfmt --statistics -o /dev/null po/ja.po 2>&1)
  case "$stats" in
    *untranslated*|*fuzzy*) echo "po/ja.po is not whole: $stats"; status=1 ;;
  esac
  exit $status
fi
cp "$template" po/sarnlink.pot
for catalog in po/*.po; do
  msgmerge --quiet --update --backup=none --no-wrap --no-fuzzy-matching "$catalog" po/sarnlink.pot
done
