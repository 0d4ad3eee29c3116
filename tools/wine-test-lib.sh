# Helpers shared by the Windows test scripts; sourced, not run. Every Wine command goes through
# $wine (or a helper here), which carries a timeout: a Wine that cannot start its 32-bit side can
# otherwise sit for minutes reserving its address space.
wine_timeout=${SARNLINK_WINE_TIMEOUT:-180}
wine="timeout -k 10 $wine_timeout /usr/lib/wine/wine64"
wineserver="timeout -k 10 $wine_timeout /usr/lib/wine/wineserver"

passed=0
failed=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}" >/dev/null 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $1"
  fi
}
absent() { ! "$@"; }
winpath() { $wine winepath -w "$1" 2>/dev/null | tr -d '\r'; }
# The summary line of a Wine program's output, checked for no failure.
run_summary() {  # run_summary NAME COMMAND...
  local output
  output=$("${@:2}" 2>&1 | tr -d '\r') || true
  echo "$output" | grep -v '^$' | tail -n 20
  local line
  line=$(echo "$output" | grep -E "^$1: [0-9]+ passed, [0-9]+ failed$" | tail -n 1)
  if [ -n "$line" ] && echo "$line" | grep -q " 0 failed$"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $1 did not finish cleanly"
  fi
}

# A scratch folder at $work holding a fresh win64 prefix, both removed when the script ends.
fresh_prefix() {  # fresh_prefix NAME
  work=$(mktemp -d "/tmp/$1.XXXXXX")
  export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  unset DISPLAY WINEDLLPATH
  trap '$wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
  $wine wineboot -i >/dev/null 2>&1
  $wineserver -w
}

# An X server for the forms, its registry settings for pictures with title bars and Japanese
# text; sets DISPLAY and xvfb_pid.
start_display() {  # start_display NUMBER
  Xvfb ":$1" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  sleep 1
  export DISPLAY=":$1"
  $wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  $wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /d IPAGothic /f \
    >/dev/null 2>&1
}
stop_display() {
  kill "$xvfb_pid" 2>/dev/null || true
  unset DISPLAY
}

# Pictures the Wine programs saved as BMP, kept as PNG in artifacts/.
keep_pictures() {  # keep_pictures FROM_DIR SUFFIX NAME...
  local from=$1 suffix=$2
  mkdir -p "$root/artifacts"
  for picture in "${@:3}"; do
    convert "$from/$picture.bmp" "$root/artifacts/$picture$suffix.png" 2>/dev/null || true
  done
}
