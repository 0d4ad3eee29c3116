#!/usr/bin/env bash
# The i686 DLL users install, tested under 32-bit Wine in a fresh win64 prefix (32-bit programs
# run from syswow64): registration by the 32-bit regsvr32 and the keys as the 32-bit reg.exe
# sees them, the 32-bit COM client (record layout included), the calling order from the 32-bit
# cscript, the progress window, the author prompt and a host's window under Xvfb, the undecorated
# exports, unregistration, a fault forced inside the progress window of the i686 test build, and
# the installer (tools/test-installer.sh). Run by tools/test-windows.sh after it has built build-win32 and the CLI.
# Prints "windows-i686: N passed, M failed" and exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source tools/wine-test-lib.sh

# 32-bit programs must be runnable. Where the kernel cannot run them itself (its ia32 emulation
# switched off), qemu's user-mode emulator can, registered through binfmt_misc; Wine then needs
# its preloader, without which every 32-bit process spends minutes reserving address space.
can_run_32bit() { timeout 60 /usr/lib/wine/wine --version >/dev/null 2>&1; }
if ! can_run_32bit; then
  if [ ! -x /usr/lib/wine/wine ]; then
    echo "windows-i686: 32-bit Wine is not installed (tools/install-deps.sh windows)"
    exit 1
  fi
  if [ ! -x /usr/bin/qemu-i386 ]; then
    echo "windows-i686: this kernel cannot run 32-bit programs and qemu-i386 is not installed"
    exit 1
  fi
  if [ ! -e /usr/lib/wine/wine-preloader ]; then
    echo "windows-i686: 32-bit Wine under qemu needs wine32-preloader:i386, which is missing"
    exit 1
  fi
  if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null || true
  fi
  if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' \
      > /proc/sys/fs/binfmt_misc/register 2>/dev/null || true
  fi
  if ! can_run_32bit; then
    echo "windows-i686: this kernel cannot run 32-bit programs and qemu-i386 could not be" \
      "registered with binfmt_misc (that needs root)"
    exit 1
  fi
fi

win32=build-win32/src/interface/com
for needed in "$win32/Pontivo.dll" "$win32/faults/Pontivo.dll" "$win32/com_client.exe" \
  "$win32/host_test.exe" \
  build-win32/Sarnlink-setup.exe build/sarnlink; do
  [ -e "$needed" ] || { echo "windows-i686: $needed is missing: run tools/test-windows.sh"; exit 1; }
done

fresh_prefix sarnlink-wine32

regsvr32='C:\windows\syswow64\regsvr32.exe'
reg32='C:\windows\syswow64\reg.exe'
cscript32='C:\windows\syswow64\cscript.exe'
clsid='{E0486B55-C1AF-4126-9C77-E741DEA0F742}'
info_clsid='{678BED46-334E-48F1-A8C6-23EFFBFA8F48}'
libid='{816EACD9-D291-41F4-9E0C-DF851BA892FF}'
iid='{4D77FF40-698C-4FCA-87F9-0B5269C5BE5C}'

# The exports the host and regsvr32 look up by name carry no stdcall decoration.
exports=$(i686-w64-mingw32-objdump -p "$win32/Pontivo.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
for name in DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer; do
  check "export $name, undecorated" grep -qE "\] $name\$" <<<"$exports"
done
check "no decorated export" absent grep -q '@' <<<"$exports"

cp "$win32/Pontivo.dll" "$work/Pontivo.dll"
dll=$(winpath "$work/Pontivo.dll")
check "32-bit regsvr32" $wine "$regsvr32" /s "$dll"
for key in "HKCR\\CLSID\\$clsid\\InprocServer32" "HKCR\\CLSID\\$info_clsid\\InprocServer32" \
  "HKCR\\Sarnlink.clsMTExport\\CLSID" "HKCR\\Sarnlink.Information\\CLSID" \
  "HKCR\\TypeLib\\$libid\\c.1\\0\\win32" "HKCR\\Interface\\$iid"; do
  check "registered (32-bit view): $key" $wine "$reg32" query "$key"
done
check "apartment threading" \
  sh -c "$wine '$reg32' query 'HKCR\\CLSID\\$clsid\\InprocServer32' /v ThreadingModel | grep -q Apartment"
check "the CLSID is in the 32-bit view" \
  $wine reg query "HKLM\\Software\\Classes\\Wow6432Node\\CLSID\\$clsid\\InprocServer32"
check "the CLSID is not in the 64-bit view" absent $wine reg query "HKLM\\Software\\Classes\\CLSID\\$clsid"

"$root/build/sarnlink" init --db "$work/diary.db" >/dev/null
sqlite3 "$work/diary.db" < data/sample-diary.sql
printf 'TITLE: a\r\n--------\r\n' > "$work/entry.txt"
run_summary com_client $wine "$win32/com_client.exe" "$dll" "$(winpath "$work/diary.db")" \
  "$(winpath "$work")" refused
run_summary calling_order $wine "$cscript32" //nologo \
  "$(winpath "$root/tests/windows/calling_order_refused.vbs")" "$(winpath "$work/diary.db")" \
  "$(winpath "$work/com-export.txt")" "$(winpath "$work/entry.txt")"

# The progress window and the author prompt in real windows; pictures as artifacts/*-i686.png.
start_display 96
run_summary progress_window $wine "$win32/progress_window_test.exe" \
  "$(winpath "$work/diary.db")" "$(winpath "$work/window-export.txt")" \
  "$(winpath "$work/entry.txt")" "$(winpath "$work/frmProgress.bmp")"
run_summary forms $wine "$win32/forms_test.exe" "$(winpath "$work/diary.db")" "$(winpath "$work")" \
  "$(winpath "$work")" prompt-only
keep_pictures "$work" -i686 frmProgress author-question author-input
# The host with a window of its own: named arguments, and the progress window holding the DLL.
run_summary host $wine "$win32/host_test.exe" "$(winpath "$work/diary.db")" \
  "$(winpath "$work/host-export.txt")" shipping
# The i686 test build (the shipping DLL with the fault switch), registered in the shipping DLL's
# place: a fault inside the progress window of an import is caught in its window procedure, and
# Execute fails with error information. The shipping DLL's unregistration below removes the same keys.
check "32-bit regsvr32 of the test build" \
  $wine "$regsvr32" /s "$(winpath "$root/$win32/faults/Pontivo.dll")"
run_summary host $wine "$win32/host_test.exe" "$(winpath "$work/diary.db")" \
  "$(winpath "$work/entry.txt")" shipping-faults
stop_display

check "32-bit regsvr32 /u" $wine "$regsvr32" /s /u "$dll"
for key in "HKCR\\CLSID\\$clsid" "HKCR\\CLSID\\$info_clsid" "HKCR\\Sarnlink.clsMTExport" \
  "HKCR\\Sarnlink.Information" "HKCR\\TypeLib\\$libid" "HKCR\\Interface\\$iid"; do
  check "unregistered: $key" absent $wine "$reg32" query "$key"
done
check "unregistered: the 32-bit view's CLSID" \
  absent $wine reg query "HKLM\\Software\\Classes\\Wow6432Node\\CLSID\\$clsid"

# The installer users run, in the same prefix once the DLL above is unregistered.
source tools/test-installer.sh
echo "windows-i686: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
