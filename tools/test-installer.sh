# The installer under 32-bit Wine; sourced by tools/test-windows-i686.sh, in its prefix, with its
# helpers: a silent install, the files and keys it made (the component in the 32-bit view, the
# "installed programs" entry), the 32-bit COM client and cscript against the installed DLL, an
# install over the installed copy, a silent uninstall, then every file and key checked gone,
# nothing else touched, and a second uninstall that finds nothing to do.
setup=build-win32/Sarnlink-setup.exe
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sarnlink'
folder="$WINEPREFIX/drive_c/Program Files (x86)/Sarnlink"
installed='C:\Program Files (x86)\Sarnlink\Pontivo.dll'
cp "$setup" "$work/Sarnlink-setup.exe"
# A file of the user's beside the program folder, which the uninstaller must leave alone.
mkdir -p "$WINEPREFIX/drive_c/Program Files (x86)"
echo keep > "$WINEPREFIX/drive_c/Program Files (x86)/users-file.txt"
installer_run() {  # installer_run COMMAND...: runs it and waits for every process it started
  $wine "$@" >/dev/null 2>&1
  local status=$?
  $wineserver -w
  return $status
}
entry() {  # entry VALUE: the installed-programs entry's VALUE, as the 32-bit reg.exe reads it
  $wine "$reg32" query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v v="$1" '$1 == v {$1=""; $2=""; sub(/^  /, ""); print}'
}
check "silent install" installer_run "$(winpath "$work/Sarnlink-setup.exe")" /S
check "installed: Pontivo.dll" test -f "$folder/Pontivo.dll"
check "installed: the shipping DLL, byte for byte" cmp "$folder/Pontivo.dll" "$win32/Pontivo.dll"
check "installed: Uninstall.exe" test -f "$folder/Uninstall.exe"
check "entry: DisplayName" test "$(entry DisplayName)" = "Sarnlink"
check "entry: DisplayVersion 1.00" test "$(entry DisplayVersion)" = "1.00"
check "entry: Publisher" test -n "$(entry Publisher)"
check "entry: EstimatedSize" test -n "$(entry EstimatedSize)"
check "entry: UninstallString" sh -c "test -n \"\$(echo '$(entry UninstallString)' | grep -i uninstall.exe)\""
check "entry: in the 32-bit view" \
  $wine reg query 'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Sarnlink'
check "installed: the CLSID in the 32-bit view, at the installed DLL" \
  sh -c "$wine '$reg32' query 'HKCR\\CLSID\\$clsid\\InprocServer32' /ve | tr -d '\r' | grep -qi 'Program Files (x86)\\\\Sarnlink\\\\Pontivo.dll'"
run_summary com_client $wine "$win32/com_client.exe" "$installed" "$(winpath "$work/diary.db")" \
  "$(winpath "$work")" refused
run_summary calling_order $wine "$cscript32" //nologo \
  "$(winpath "$root/tests/windows/calling_order_refused.vbs")" "$(winpath "$work/diary.db")" \
  "$(winpath "$work/installed-export.txt")" "$(winpath "$work/entry.txt")"
check "install again, over the installed copy" installer_run "$(winpath "$work/Sarnlink-setup.exe")" /S
check "still installed once" test -f "$folder/Pontivo.dll"
run_summary com_client $wine "$win32/com_client.exe" "$installed" "$(winpath "$work/diary.db")" \
  "$(winpath "$work")" refused
cp "$folder/Uninstall.exe" "$work/Uninstall-copy.exe"
check "silent uninstall" installer_run 'C:\Program Files (x86)\Sarnlink\Uninstall.exe' /S
check "uninstalled: the program folder" test ! -e "$folder"
check "uninstalled: the installed-programs entry" absent $wine "$reg32" query "$uninstall_key"
for key in "HKCR\\CLSID\\$clsid" "HKCR\\CLSID\\$info_clsid" "HKCR\\Sarnlink.clsMTExport" \
  "HKCR\\Sarnlink.Information" "HKCR\\TypeLib\\$libid" "HKCR\\Interface\\$iid"; do
  check "uninstalled: $key" absent $wine "$reg32" query "$key"
done
check "the user's file is left alone" test -f "$WINEPREFIX/drive_c/Program Files (x86)/users-file.txt"
# A second uninstall (an old copy of the uninstaller) finds nothing and harms nothing.
installer_run "$(winpath "$work/Uninstall-copy.exe")" /S '_?=C:\Program Files (x86)\Sarnlink' || true
check "a second uninstall leaves the user's file alone" \
  test -f "$WINEPREFIX/drive_c/Program Files (x86)/users-file.txt"
