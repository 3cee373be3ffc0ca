; The Windows setup program for Ombrelay, built with makensis:
;   makensis -DVERSION=1.02 -DEXE=<ombrelay.exe> -DREADME=<README.md>
;            -DLICENSE=<LICENSE> -DOUTFILE=<setup.exe> ombrelay.nsi
; Per-user, no administrator rights. The uninstaller removes exactly what
; this script adds; delete lists, the desktop shortcuts the program made for
; them and (unless asked) the settings under HKCU\SOFTWARE\FD stay.
Unicode true
SetCompressor /SOLID lzma
!include "MUI2.nsh"

!ifndef VERSION | EXE | README | LICENSE | OUTFILE
  !error "VERSION, EXE, README, LICENSE and OUTFILE must be defined"
!endif

!define APP "Ombrelay"
!define PUBLISHER "Farrowdene"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define SETTINGS_KEY "SOFTWARE\FD"
!define VERB "Ombrelay.AddToList"
!define VERB_TEXT "Add to Ombrelay delete list"
!define SENDTO_LINK "$SENDTO\Ombrelay delete list.lnk"
!define START_LINK "$SMPROGRAMS\${APP}.lnk"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${APP}"
; An upgrade goes where the last version went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) Farrowdene"

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\ombrelay.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_TEXT_TOP "Your delete lists and their desktop shortcuts are kept. Tick the box to remove your Ombrelay settings too."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Registers the Explorer verb on one class (* for files, Directory for folders).
!macro AddVerb CLASS
  WriteRegStr HKCU "Software\Classes\${CLASS}\shell\${VERB}" "" "${VERB_TEXT}"
  WriteRegStr HKCU "Software\Classes\${CLASS}\shell\${VERB}" "Icon" "$INSTDIR\ombrelay.exe"
  WriteRegStr HKCU "Software\Classes\${CLASS}\shell\${VERB}\command" "" '"$INSTDIR\ombrelay.exe" "%1"'
!macroend

Section "-Program" SecProgram
  SetOutPath "$INSTDIR"
  File "/oname=ombrelay.exe" "${EXE}"
  File "/oname=README.md" "${README}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "${START_LINK}" "$INSTDIR\ombrelay.exe" "" "$INSTDIR\ombrelay.exe" 0 SW_SHOWNORMAL "" "${APP}"
  ; Explorer starts a Send To target once, with every selected path.
  CreateShortcut "${SENDTO_LINK}" "$INSTDIR\ombrelay.exe" "" "$INSTDIR\ombrelay.exe" 0 SW_SHOWNORMAL "" "${VERB_TEXT}"
  !insertmacro AddVerb "*"
  !insertmacro AddVerb "Directory"

  SectionGetSize ${SecProgram} $0
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ombrelay.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "-un.Program"
  DeleteRegKey HKCU "Software\Classes\*\shell\${VERB}"
  DeleteRegKey HKCU "Software\Classes\Directory\shell\${VERB}"
  Delete "${SENDTO_LINK}"
  Delete "${START_LINK}"
  ; File by file: the folder may hold things that are not ours (a delete
  ; list saved next to the program); it goes only when it is empty.
  Delete "$INSTDIR\ombrelay.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE.txt"
  ; The uninstaller runs from a copy of itself; the original may still be
  ; ending when the copy gets here, and a running program cannot be deleted.
  StrCpy $R9 0
  uninstaller_again:
  Delete "$INSTDIR\uninstall.exe"
  IfFileExists "$INSTDIR\uninstall.exe" 0 uninstaller_gone
  IntOp $R9 $R9 + 1
  IntCmp $R9 50 uninstaller_gone 0 uninstaller_gone
  Sleep 100
  Goto uninstaller_again
  uninstaller_gone:
  RMDir "$INSTDIR"
SectionEnd

; Off unless ticked, so a silent uninstall keeps the settings. Only the
; program's own values go; the key goes only when nothing else is left in it.
Section /o "un.Remove my Ombrelay settings" SecSettings
  DeleteRegValue HKCU "${SETTINGS_KEY}" "OmbrelayFirstTime"
  DeleteRegValue HKCU "${SETTINGS_KEY}" "WindowPlacement"
  DeleteRegValue HKCU "${SETTINGS_KEY}" "RecycleBin"
  DeleteRegValue HKCU "${SETTINGS_KEY}" "UpdateURL"
  DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"
SectionEnd

; Last, so that its absence means the uninstall is complete.
Section "-un.Entry"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
