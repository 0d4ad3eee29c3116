; Sarnlink-setup.exe: puts the 32-bit component in the 32-bit program folder, registers it in
; the 32-bit view of the registry, and adds it to the system's list of installed programs with
; an uninstaller that takes away exactly what it put there. Installing over an earlier copy
; unregisters that copy first. /S installs (and uninstalls) silently.
; Built by the i686 build: makensis -DDLL=Pontivo.dll -DOUT=Sarnlink-setup.exe -DVERSION=1.00
Unicode true
!ifndef DLL | OUT | VERSION
  !error "usage: makensis -DDLL=path\Pontivo.dll -DOUT=Sarnlink-setup.exe -DVERSION=1.00 sarnlink.nsi"
!endif
!define PRODUCT "Sarnlink"
!define PUBLISHER "Sarnlink developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Sarnlink"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT}"
InstallDir "$PROGRAMFILES32\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString RegisterFailed ${LANG_ENGLISH} "The component could not be registered. Run the installer as an administrator."
LangString RegisterFailed ${LANG_JAPANESE} "コンポーネントを登録できませんでした。管理者としてインストーラーを実行してください。"
LangString EarlierCopy ${LANG_ENGLISH} "Unregistering the earlier copy"
LangString EarlierCopy ${LANG_JAPANESE} "以前のコピーの登録を解除しています"
LangString Registering ${LANG_ENGLISH} "Registering the component"
LangString Registering ${LANG_JAPANESE} "コンポーネントを登録しています"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${PUBLISHER}"

Function .onInit
  SetRegView 32
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
  SetRegView 32
  !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

Section "Sarnlink"
  SetRegView 32
  ; A copy installed before, here or elsewhere, gives up its registration first.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\Pontivo.dll"
    DetailPrint "$(EarlierCopy): $0\Pontivo.dll"
    ClearErrors
    UnRegDLL "$0\Pontivo.dll"
  ${EndIf}
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "/oname=Pontivo.dll" "${DLL}"
  DetailPrint "$(Registering)"
  ClearErrors
  RegDLL "$INSTDIR\Pontivo.dll"
  ${If} ${Errors}
    MessageBox MB_ICONSTOP|MB_OK "$(RegisterFailed)" /SD IDOK
    Delete "$INSTDIR\Pontivo.dll"
    RMDir "$INSTDIR"
    SetErrorLevel 2
    Abort
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  IntFmt $1 "0x%08X" $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

Section "Uninstall"
  SetRegView 32
  ClearErrors
  UnRegDLL "$INSTDIR\Pontivo.dll"
  Delete "$INSTDIR\Pontivo.dll"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
