#!/usr/bin/env bash
# Builds the three variants of the Windows component and tests them under wine64, headless:
# registration and unregistration of the shipping x86_64 DLL, the PE COM client against it (its
# diary is refused: no Jet under Wine), then the Winelib build against a real SQLite diary with
# the COM client and the VBScript host, whose files and rows must match the CLI's.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash tools/install-deps.sh windows

build() {  # build DIR TOOLCHAIN
  cmake -S . -B "$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/$2" -DCMAKE_BUILD_TYPE=Release \
    -DSARNLINK_WERROR=ON -DSARNLINK_TESTS=OFF >/dev/null
  cmake --build "$1"
}
build build-win32 toolchain-mingw-i686.cmake
build build-win64 toolchain-mingw-x86_64.cmake
build build-winelib toolchain-winelib.cmake
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target sarnlink

source tools/wine-test-lib.sh
fresh_prefix sarnlink-wine

# The shipping x86_64 DLL, registered on its own.
cp build-win64/src/interface/com/Pontivo.dll "$work/Pontivo.dll"
dll=$(winpath "$work/Pontivo.dll")
clsid='{E0486B55-C1AF-4126-9C77-E741DEA0F742}'
info_clsid='{678BED46-334E-48F1-A8C6-23EFFBFA8F48}'
libid='{816EACD9-D291-41F4-9E0C-DF851BA892FF}'
check "regsvr32" $wine regsvr32 /s "$dll"
for key in "HKCR\\CLSID\\$clsid\\InprocServer32" "HKCR\\CLSID\\$info_clsid\\InprocServer32" \
  "HKCR\\Sarnlink.clsMTExport\\CLSID" "HKCR\\Sarnlink.Information\\CLSID" "HKCR\\TypeLib\\$libid\\c.1" \
  "HKCR\\Interface\\{4D77FF40-698C-4FCA-87F9-0B5269C5BE5C}"; do
  check "registered: $key" $wine reg query "$key"
done
check "apartment threading" sh -c "$wine reg query 'HKCR\\CLSID\\$clsid\\InprocServer32' /v ThreadingModel | grep -q Apartment"
"$root/build/sarnlink" init --db "$work/diary.db" >/dev/null
sqlite3 "$work/diary.db" < data/sample-diary.sql
run_summary com_client $wine build-win64/src/interface/com/com_client.exe "$dll" \
  "$(winpath "$work/diary.db")" "$(winpath "$work")" refused
# The ADO diary's calls (statement options, the connection string, the record count's width)
# answered by stand-ins for ADO's classes, since no Jet provider exists under Wine.
run_summary ado_options $wine build-win64/src/interface/com/ado_options_test.exe
check "regsvr32 /u" $wine regsvr32 /s /u "$dll"
for key in "HKCR\\CLSID\\$clsid" "HKCR\\CLSID\\$info_clsid" "HKCR\\Sarnlink.clsMTExport" \
  "HKCR\\Sarnlink.Information" "HKCR\\TypeLib\\$libid"; do
  check "unregistered: $key" absent $wine reg query "$key"
done

# The Winelib build, whose diary is the host's SQLite.
mkdir -p "$WINEPREFIX/drive_c/sarnlink"
cp build-winelib/Pontivo.dll.fake "$WINEPREFIX/drive_c/sarnlink/Pontivo.dll"
export WINEDLLPATH=$root/build-winelib/src/interface/com
check "regsvr32 (Winelib)" $wine regsvr32 /s 'C:\sarnlink\Pontivo.dll'
run_summary com_client $wine build-win64/src/interface/com/com_client.exe 'C:\sarnlink\Pontivo.dll' \
  "$(winpath "$work/diary.db")" "$(winpath "$work")" opens

cp "$work/diary.db" "$work/com.db"
rm -f "$work/diary.db-wal" "$work/diary.db-shm"
"$root/build/sarnlink" export --quiet --db "$work/diary.db" --out "$work/cli-export.txt" \
  --author "Sample Writer"
printf 'TITLE: a\r\n--------\r\nBODY:\r\nnever closed\r\n' > "$work/broken.txt"
run_summary calling_order $wine cscript //nologo "$(winpath "$root/tests/windows/calling_order.vbs")" \
  "$(winpath "$work/com.db")" "$(winpath "$work/com-export.txt")" \
  "$(winpath "$work/cli-export.txt")" "$(winpath "$work/broken.txt")" "$(winpath "$work")"
check "the COM export is the CLI's, byte for byte" cmp "$work/com-export.txt" "$work/cli-export.txt"
# The same import by the CLI, into a copy of the diary as it was, gives the same rows.
cp "$work/diary.db" "$work/cli.db"
"$root/build/sarnlink" import --quiet --allow-duplicates --db "$work/cli.db" --in "$work/cli-export.txt"
"$root/build/sarnlink" import --quiet --db "$work/cli.db" --in "$work/broken.txt" 2>/dev/null || true
rows='SELECT Day, Number, Weather, Genre, Title, Contents, extend, excerpt, TrackBack, PublishTime, Private FROM Contents ORDER BY rowid'
check "the COM import stores the CLI's rows" \
  cmp <(sqlite3 "$work/com.db" "$rows") <(sqlite3 "$work/cli.db" "$rows")
# A diary and files in a folder whose name holds Japanese characters and ";" (which would end an
# unquoted value of the connection string): the same export through the COM object.
odd="$work/日記;2024"
mkdir -p "$odd"
cp "$work/diary.db" "$odd/diary;1.db"
run_summary calling_order $wine cscript //nologo "$(winpath "$root/tests/windows/calling_order.vbs")" \
  "$(winpath "$odd/diary;1.db")" "$(winpath "$odd/export;1.txt")" \
  "$(winpath "$work/cli-export.txt")" "$(winpath "$work/broken.txt")" "$(winpath "$odd")"
check "a diary under a Japanese name with \";\": the COM export is the CLI's" \
  cmp "$odd/export;1.txt" "$work/cli-export.txt"
# Files shaped like what blog software writes (no last "--------", comments, ISO dates, dates
# without seconds, stray bytes, a zero byte and a broken EUC-JP pair) give the same rows through
# the COM object as through the CLI.
real_world=(blog-service.utf8.txt movable-type.utf8.txt mostly-english.utf8-stray.txt no-seconds.utf8.txt
  mostly-english.sjis.txt mostly-english.eucjp.txt mostly-english.iso2022jp.txt
  zero-and-broken.eucjp.txt)
"$root/build/sarnlink" init --db "$work/real-com.db" >/dev/null
"$root/build/sarnlink" init --db "$work/real-cli.db" >/dev/null
real_world_paths=()
for f in "${real_world[@]}"; do
  real_world_paths+=("$(winpath "$root/tests/data/real-world/$f")")
  "$root/build/sarnlink" import --quiet --allow-duplicates --db "$work/real-cli.db" \
    --in "$root/tests/data/real-world/$f"
done
run_summary import_files $wine cscript //nologo "$(winpath "$root/tests/windows/import_files.vbs")" \
  "$(winpath "$work/real-com.db")" "${real_world_paths[@]}"
check "real-world files: the COM import stores the CLI's rows" \
  cmp <(sqlite3 "$work/real-com.db" "$rows") <(sqlite3 "$work/real-cli.db" "$rows")
# An entry without a DATE is filed under the import's own day, where the host shows it.
printf 'TITLE: undated\r\nBODY:\r\nx\r\n-----\r\n--------\r\n' > "$work/undated.txt"
"$root/build/sarnlink" init --db "$work/undated.db" >/dev/null
run_summary import_files $wine cscript //nologo "$(winpath "$root/tests/windows/import_files.vbs")" \
  "$(winpath "$work/undated.db")" "$(winpath "$work/undated.txt")"
today=$(date +%Y/%m/%d)
check "an undated entry is filed under the import's day" test \
  "$(sqlite3 "$work/undated.db" "SELECT Day || '|' || substr(PublishTime, 1, 10) FROM Contents")" \
  = "$today|$today"
# frmProgress in a real window under Xvfb; its picture is kept in artifacts/.
start_display 97
# Its diary also holds the rows a diary kept for years has (Null and empty columns, odd times,
# no day): the export writes every one, names those whose DATE it supplied in the closing text,
# and gives the CLI's bytes.
cp "$work/diary.db" "$work/window.db"
sqlite3 "$work/window.db" < tests/data/odd-rows.sql
"$root/build/sarnlink" export --quiet --db "$work/window.db" --out "$work/cli-window.txt" 2>/dev/null
rm -f "$work/window.db-wal" "$work/window.db-shm"
run_summary progress_window $wine build-win64/src/interface/com/progress_window_test.exe \
  "$(winpath "$work/window.db")" "$(winpath "$work/window-export.txt")" \
  "$(winpath "$work/broken.txt")" "$(winpath "$work/frmProgress.bmp")" "Day Null, Number 1"
check "odd rows: the COM export is the CLI's, byte for byte" \
  cmp "$work/window-export.txt" "$work/cli-window.txt"
keep_pictures "$work" "" frmProgress
# The options form and the author prompt, driven by messages; their pictures too.
cp "$work/diary.db" "$work/forms.db"
run_summary forms $wine build-win64/src/interface/com/forms_test.exe "$(winpath "$work/forms.db")" \
  "$(winpath "$work")" "$(winpath "$work")"
keep_pictures "$work" "" frmOption-page1 frmOption-page2 author-question author-input
# A host with a window of its own, acting while the forms are up.
cp "$work/diary.db" "$work/host.db"
run_summary host $wine build-win64/src/interface/com/host_test.exe "$(winpath "$work/host.db")" \
  "$(winpath "$work/host-export.txt")" test-build
stop_display

check "regsvr32 /u (Winelib)" $wine regsvr32 /s /u 'C:\sarnlink\Pontivo.dll'

echo "windows: $passed passed, $failed failed"
x86_64_failed=$failed
$wineserver -k 2>/dev/null || true
unset WINEDLLPATH

# The i686 DLL users install, under 32-bit Wine in a prefix of its own.
i686_status=0
bash tools/test-windows-i686.sh || i686_status=$?
[ "$x86_64_failed" -eq 0 ] && [ "$i686_status" -eq 0 ]
