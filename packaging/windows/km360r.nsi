; The Windows installer, km360r-setup-VERSION.exe: the windowed program, the
; command-line companion, the four help files, config.ini and Qt's Chinese
; translations in one folder under Program Files (every front end reads
; config.ini and the help beside its own executable), a Start menu entry in
; the user's language, and an uninstaller listed in Add/Remove Programs.
;
; Built by scripts/package-windows.sh, which hands over
;   VERSION   the project's version (1.0)
;   STAGE     the folder holding the files to install, executables stripped
;   OUTFILE   the installer to write
; and STAGE\translations.nsh, the macros that install and delete the .qm
; files found beside km360r.exe.
;
; A silent run (/S) installs or upgrades without a question; the uninstaller
; takes /S as well (QuietUninstallString).

; A 64-bit installer for the 64-bit program: it writes to the system's own
; Program Files and registry, with nothing redirected, and runs on a Wine that
; has no 32-bit half.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin
; A file that cannot be written stops the installation rather than being
; skipped.
AllowSkipFiles off

!include MUI2.nsh
!include LogicLib.nsh
!include "${STAGE}/translations.nsh"

!define PRODUCT "KM360R"
!define PUBLISHER "Halvex"
; The Start menu entry's names: the same as the Linux menu entry's.
!define ENTRY_EN "KM360R Optical Power Meter"
!define ENTRY_ZH "PON光功率计管理软件"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; An upgrade goes where the first installation went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\km360r.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; English first: the language of every Windows whose language is not Chinese.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString EntryName ${LANG_ENGLISH} "${ENTRY_EN}"
LangString EntryName ${LANG_SIMPCHINESE} "${ENTRY_ZH}"
LangString EntryComment ${LANG_ENGLISH} "Read, save, export and print the measurements of a KM360R PON optical power meter"
LangString EntryComment ${LANG_SIMPCHINESE} "读取、保存、导出和打印KM360R PON光功率计的测量数据"
LangString ProgramRunning ${LANG_ENGLISH} "KM360R is running. Close the program and try again."
LangString ProgramRunning ${LANG_SIMPCHINESE} "KM360R 正在运行。请关闭程序后重试。"

; Windows refuses to open a running program's executable for writing. Both
; the upgrade and the uninstaller look before they change anything, so a
; running program is never left half-replaced or half-removed.
!macro StopIfRunning NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    ClearErrors
    FileOpen $0 "$INSTDIR\${NAME}" a
    ${If} ${Errors}
      MessageBox MB_ICONSTOP "$(ProgramRunning)" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    FileClose $0
  ${EndIf}
!macroend
!macro StopIfProgramRunning
  !insertmacro StopIfRunning km360r.exe
  !insertmacro StopIfRunning km360r-cli.exe
!macroend

; Every Chinese user interface language (China, Taiwan, Hong Kong, Macao,
; Singapore) gets the Chinese texts; NSIS by itself would match only the
; exact language of an included translation.
!macro ChooseLanguage
  System::Call 'kernel32::GetUserDefaultUILanguage() i .r0'
  IntOp $0 $0 & 0x3FF
  ${If} $0 = 0x04
    StrCpy $LANGUAGE ${LANG_SIMPCHINESE}
  ${Else}
    StrCpy $LANGUAGE ${LANG_ENGLISH}
  ${EndIf}
!macroend

; Both names: the entry bears the language of whoever installed last, and an
; upgrade or uninstall by a user of the other language must find it too.
!macro DeleteStartMenuEntry
  Delete "$SMPROGRAMS\${ENTRY_EN}.lnk"
  Delete "$SMPROGRAMS\${ENTRY_ZH}.lnk"
!macroend

Function .onInit
  SetShellVarContext all
  !insertmacro ChooseLanguage
FunctionEnd

Section "Install"
  !insertmacro StopIfProgramRunning
  SetOutPath "$INSTDIR"
  File "${STAGE}/km360r.exe"
  File "${STAGE}/km360r-cli.exe"
  File "${STAGE}/help_sc.chm"
  File "${STAGE}/help_qtv_e.chm"
  File "${STAGE}/help_c.chm"
  File "${STAGE}/help_e.chm"
  !insertmacro InstallTranslations
  ; config.ini holds the user's choices (the language, the team server): an
  ; upgrade keeps the one that is there.
  SetOverwrite off
  File "${STAGE}/config.ini"
  SetOverwrite on

  WriteUninstaller "$INSTDIR\uninstall.exe"

  !insertmacro DeleteStartMenuEntry
  CreateShortcut "$SMPROGRAMS\$(EntryName).lnk" "$INSTDIR\km360r.exe" "" "$INSTDIR\km360r.exe" 0 \
    SW_SHOWNORMAL "" "$(EntryComment)"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "$(EntryName)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\km360r.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; In KiB, as Add/Remove Programs shows it.
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetShellVarContext all
  !insertmacro ChooseLanguage
FunctionEnd

; Removes what the installer put there, by name: the results store, saved
; data files and the per-user settings live elsewhere, and anything the user
; saved into the program's folder stays, with the folder.
Section "Uninstall"
  !insertmacro StopIfProgramRunning
  Delete "$INSTDIR\km360r.exe"
  Delete "$INSTDIR\km360r-cli.exe"
  Delete "$INSTDIR\help_sc.chm"
  Delete "$INSTDIR\help_qtv_e.chm"
  Delete "$INSTDIR\help_c.chm"
  Delete "$INSTDIR\help_e.chm"
  Delete "$INSTDIR\config.ini"
  !insertmacro DeleteTranslations
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  !insertmacro DeleteStartMenuEntry
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
