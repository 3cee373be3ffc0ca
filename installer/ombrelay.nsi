; The Windows setup program for Ombrelay, built with makensis:
;   makensis -DVERSION=1.02 -DEXE=<ombrelay.exe> -DREADME=<README.md>
;            -DLICENSE=<LICENSE> -DOUTFILE=<setup.exe> ombrelay.nsi
; Per-user, no administrator rights. Setup writes its files only into a
; folder of Ombrelay's own, and neither setup nor the uninstaller changes
; anything while Ombrelay runs from that folder. The uninstaller removes
; exactly what this script adds, and of the Explorer verbs, the links and the
; uninstall entry only those that point at its own folder (a second install
; elsewhere keeps its own), and the sign-in entries and scheduled tasks that
; the program made for lists that run by themselves; delete lists, the desktop shortcuts the program
; made for them and (unless asked) the settings under HKCU\SOFTWARE\FD stay.
Unicode true
SetCompressor /SOLID lzma
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

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
!define DIR_TEXT "Setup will install ${APP} ${VERSION} in the following folder. To install in a different folder, click Browse and select another folder. Click Install to start the installation."
!define RUNNING_TEXT "${APP} is running from $INSTDIR. Close it, then click Retry."
; The upgrade code of Ombrelay's Windows Installer package (installer/ombrelay.wxs).
!define MSI_UPGRADE_CODE "{B88CB1DC-F8A3-40CA-AEBB-36DCA9E81C7D}"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${APP}"
; An upgrade goes where the last version went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
; A file that cannot be written stops the install (Retry or Abort, silently
; Abort), never a half-replaced program.
AllowSkipFiles off
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
!define MUI_DIRECTORYPAGE_TEXT_TOP "${DIR_TEXT}"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW ShowFolderChoice
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE TakeFolderChoice
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_TEXT_TOP "Your delete lists and their desktop shortcuts are kept. Tick the box to remove your Ombrelay settings too."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; In and out of the functions below.
Var Folder  ; a folder to look at
Var Answer  ; 1 for yes, 0 for no
Var PathA   ; two folders SamePlace compares
Var PathB
Var AskedDir  ; the folder asked for, as ChooseFolder spells it
Var FinalDir  ; the folder ChooseFolder settles on, or "" when none will do

; Whether PathA and PathB name the same folder, however they are spelt
; (letter case, short names, "..", "/", a closing backslash): sets Answer.
!macro DefineSamePlace UN
Function ${UN}SamePlace
  StrCpy $Answer 0
  StrCmp $PathA "" done
  StrCmp $PathB "" done
  Push $0
  Push $1
  ; The short form of a folder that is there, else the full one.
  GetFullPathName /SHORT $0 $PathA
  StrCmp $0 "" 0 +2
    GetFullPathName $0 $PathA
  GetFullPathName /SHORT $1 $PathB
  StrCmp $1 "" 0 +2
    GetFullPathName $1 $PathB
  ; A closing backslash aside; StrCmp ignores letter case.
  ${If} "$0" == "$1"
  ${OrIf} "$0\" == "$1"
  ${OrIf} "$0" == "$1\"
    StrCpy $Answer 1
  ${EndIf}
  Pop $1
  Pop $0
  done:
FunctionEnd
!macroend
!insertmacro DefineSamePlace ""
!insertmacro DefineSamePlace "un."

; Sets Answer to 1 when Folder holds an Ombrelay install: its uninstall.exe
; is one of ours (by its version information), or our uninstall entry
; points at the folder and an uninstall.exe is there.
Function IsInstall
  StrCpy $Answer 0
  IfFileExists "$Folder\uninstall.exe" 0 done
  ReadRegStr $PathA HKCU "${UNINSTALL_KEY}" "InstallLocation"
  StrCpy $PathB $Folder
  Call SamePlace
  StrCmp $Answer 1 done
  Push $0
  Push $1
  Push $2
  System::Call 'version::GetFileVersionInfoSizeW(w "$Folder\uninstall.exe", p 0) i .r0'
  ${If} $0 > 0
    System::Alloc $0
    Pop $1
    System::Call 'version::GetFileVersionInfoW(w "$Folder\uninstall.exe", i 0, i r0, p r1) i .r2'
    ${If} $2 != 0
      System::Call 'version::VerQueryValueW(p r1, w "\StringFileInfo\040904b0\ProductName", *p .r2, *i .r0) i .r0'
      ${If} $0 != 0
        System::Call '*$2(&w${NSIS_MAX_STRLEN} .r2)'
        ${If} $2 S== "${APP}"
          StrCpy $Answer 1
        ${EndIf}
      ${EndIf}
    ${EndIf}
    System::Free $1
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
  done:
FunctionEnd

; Sets Answer to 1 when Folder holds no file or folder at all.
Function IsEmpty
  Push $0
  Push $1
  StrCpy $Answer 1
  FindFirst $0 $1 "$Folder\*.*"
  ${DoWhile} $1 != ""
    ${If} $1 != "."
    ${AndIf} $1 != ".."
      StrCpy $Answer 0
      ${ExitDo}
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0
  Pop $1
  Pop $0
FunctionEnd

; Sets Answer to 1 when setup may put its files into Folder: it is not
; there yet, or empty, or holds an Ombrelay install, or it is a folder named
; Ombrelay with nothing in it by the names of the files setup writes (one
; a former install left with the user's delete lists in it, say).
Function FolderFits
  Push $0
  StrCpy $Answer 1
  IfFileExists "$Folder\*.*" is_folder
  IfFileExists "$Folder" 0 done
  StrCpy $Answer 0  ; a file by that name
  Goto done
  is_folder:
  Call IsInstall
  StrCmp $Answer 1 done
  Call IsEmpty
  StrCmp $Answer 1 done
  ${GetFileName} $Folder $0
  StrCmp $0 "${APP}" 0 done
  StrCpy $Answer 1
  ${If} ${FileExists} "$Folder\ombrelay.exe"
  ${OrIf} ${FileExists} "$Folder\README.md"
  ${OrIf} ${FileExists} "$Folder\LICENSE.txt"
  ${OrIf} ${FileExists} "$Folder\uninstall.exe"
    StrCpy $Answer 0
  ${EndIf}
  done:
  Pop $0
FunctionEnd

; The folder setup installs into, from the one asked for ($INSTDIR): that
; folder when it fits, else a folder "Ombrelay" inside it when that one
; fits, else none (""). A folder of the user's thus never gets setup's
; files mixed into it, and the uninstaller never takes the user's files.
Function ChooseFolder
  Push $0
  GetFullPathName $AskedDir $INSTDIR
  StrCmp $AskedDir "" 0 +2
    StrCpy $AskedDir $INSTDIR
  StrCpy $0 $AskedDir 1 -1
  StrCmp $0 "\" 0 +2
    StrCpy $AskedDir $AskedDir -1
  StrCpy $Folder $AskedDir
  StrCpy $FinalDir $Folder
  Call FolderFits
  StrCmp $Answer 1 done
  StrCpy $Folder "$AskedDir\${APP}"
  StrCpy $FinalDir $Folder
  Call FolderFits
  StrCmp $Answer 1 done
  StrCpy $FinalDir ""
  done:
  Pop $0
FunctionEnd

; The folder page's text says where the files will go when that is not
; the folder typed in, or why neither it nor a folder inside it will do.
Function SayFolderChoice
  Push $0
  FindWindow $0 "#32770" "" $HWNDPARENT
  GetDlgItem $0 $0 1006
  ${If} $FinalDir == ""
    SendMessage $0 ${WM_SETTEXT} 0 "STR:$AskedDir already holds other files, and so does its folder ${APP}. Choose another folder."
  ${ElseIf} $FinalDir == $AskedDir
    SendMessage $0 ${WM_SETTEXT} 0 "STR:${DIR_TEXT}"
  ${Else}
    SendMessage $0 ${WM_SETTEXT} 0 "STR:This folder holds other files, so ${APP} will be installed in a folder of its own inside it:$\r$\n$FinalDir"
  ${EndIf}
  Pop $0
FunctionEnd

Function .onVerifyInstDir
  Call ChooseFolder
  IfSilent +2
    Call SayFolderChoice
  StrCmp $FinalDir "" 0 +2
    Abort  ; Install stays off
FunctionEnd

Function ShowFolderChoice
  Call ChooseFolder
  Call SayFolderChoice
FunctionEnd

Function TakeFolderChoice
  Call ChooseFolder
  StrCmp $FinalDir "" 0 +2
    Abort
  StrCpy $INSTDIR $FinalDir
FunctionEnd

; The Windows Installer package installed for this user or for the
; computer: one install of the two, never both in Installed apps. Setup says
; so (silently, in "Ombrelay setup.log" in %TEMP%) and ends with exit code 2,
; having changed nothing.
!define MSI_INSTALLED_TEXT "${APP} is already installed by its Windows Installer package. Remove that one under Installed apps first, or install a newer version with a newer package; setup changes nothing."
Function .onInit
  System::Call 'msi::MsiEnumRelatedProductsW(w "${MSI_UPGRADE_CODE}", i 0, i 0, w .r0) i .r1'
  ${If} $1 == 0
    ${If} ${Silent}
      FileOpen $2 "$TEMP\${APP} setup.log" a
      FileSeek $2 0 END
      FileWrite $2 "${MSI_INSTALLED_TEXT}$\r$\n"
      FileClose $2
    ${EndIf}
    MessageBox MB_OK|MB_ICONSTOP "${MSI_INSTALLED_TEXT}" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

; Ombrelay running from $INSTDIR can be neither replaced nor removed, and
; opening its file for writing fails while it runs: asks for it to be
; closed, and stops the install with exit code 2 on Cancel or when silent.
Function WaitForProgramClosed
  retry:
  IfFileExists "$INSTDIR\ombrelay.exe" 0 closed
  ClearErrors
  FileOpen $0 "$INSTDIR\ombrelay.exe" a
  IfErrors running
  FileClose $0
  Goto closed
  running:
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${RUNNING_TEXT}" /SD IDCANCEL IDRETRY retry
  SetErrorLevel 2
  Abort "${APP} is running: nothing was changed."
  closed:
FunctionEnd

; Registers the Explorer verb on one class (* for files, Directory for folders).
!macro AddVerb CLASS
  WriteRegStr HKCU "Software\Classes\${CLASS}\shell\${VERB}" "" "${VERB_TEXT}"
  WriteRegStr HKCU "Software\Classes\${CLASS}\shell\${VERB}" "Icon" "$INSTDIR\ombrelay.exe"
  WriteRegStr HKCU "Software\Classes\${CLASS}\shell\${VERB}\command" "" '"$INSTDIR\ombrelay.exe" "%1"'
!macroend

Section "-Program" SecProgram
  ; Again here: silently nothing else chose, and the disk may have changed
  ; since the folder page.
  Call ChooseFolder
  ${If} $FinalDir == ""
    MessageBox MB_OK|MB_ICONSTOP "$AskedDir already holds other files, and so does its folder ${APP}: choose another folder." /SD IDOK
    SetErrorLevel 2
    Abort "Nothing was installed."
  ${EndIf}
  StrCpy $INSTDIR $FinalDir
  Call WaitForProgramClosed
  SetOutPath "$INSTDIR"
  ; The program first: should it start after all between the check and
  ; here, nothing has been changed when its file cannot be written.
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

; What the uninstaller found to be its own before it changed anything.
Var OwnFileVerb
Var OwnFolderVerb
Var OwnSendTo
Var OwnStartLink
Var OwnEntry

; Sets Answer to 1 when the Explorer verb on CLASS starts ombrelay.exe in
; this folder. Its command is '"<folder>\ombrelay.exe" "%1"'.
!macro VerbIsOurs CLASS
  ReadRegStr $0 HKCU "Software\Classes\${CLASS}\shell\${VERB}\command" ""
  Call un.CommandProgram
  Call un.ProgramIsOurs
!macroend

; The program of a command line ($0, the first word or the text in its
; first quotes) into $0.
Function un.CommandProgram
  Push $1
  Push $2
  Push $3
  StrCpy $2 " "
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
    StrCpy $2 '"'
  ${EndIf}
  StrCpy $1 0
  ${Do}
    StrCpy $3 $0 1 $1
    ${IfThen} $3 == $2 ${|} ${ExitDo} ${|}
    ${IfThen} $3 == "" ${|} ${ExitDo} ${|}
    IntOp $1 $1 + 1
  ${Loop}
  StrCpy $0 $0 $1
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

; Sets Answer to 1 when the program $0 is ombrelay.exe in this folder.
Function un.ProgramIsOurs
  StrCpy $Answer 0
  ${GetFileName} $0 $1
  StrCmp $1 "ombrelay.exe" 0 done
  ${GetParent} $0 $PathA
  StrCpy $PathB $INSTDIR
  Call un.SamePlace
  done:
FunctionEnd

; The program the shortcut $R1 starts into $0 ("" when it cannot be read).
Function un.LinkProgram
  Push $1
  Push $2
  Push $3
  StrCpy $3 ""
  System::Call 'ole32::CoCreateInstance(g "{00021401-0000-0000-C000-000000000046}", p 0, i 1, g "{000214F9-0000-0000-C000-000000000046}", *p .r1) i .r2'
  ${If} $2 == 0
    System::Call '$1->0(g "{0000010b-0000-0000-C000-000000000046}", *p .r2) i .r0'  ; IPersistFile
    ${If} $0 == 0
      System::Call '$2->5(w "$R1", i 0) i .r0'  ; Load
      ${If} $0 == 0
        System::Call '$1->3(w .r3, i ${NSIS_MAX_STRLEN}, p 0, i 0)'  ; GetPath
      ${EndIf}
      System::Call '$2->2()'
    ${EndIf}
    System::Call '$1->2()'
  ${EndIf}
  StrCpy $0 $3
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

!macro LinkIsOurs LINK
  StrCpy $R1 "${LINK}"
  StrCpy $Answer 0
  ${If} ${FileExists} $R1
    Call un.LinkProgram
    Call un.ProgramIsOurs
  ${EndIf}
!macroend

Function un.onInit
  ; Only what points at this install is its to remove; another install in
  ; another folder may have taken the verbs, the links and the entry since.
  !insertmacro VerbIsOurs "*"
  StrCpy $OwnFileVerb $Answer
  !insertmacro VerbIsOurs "Directory"
  StrCpy $OwnFolderVerb $Answer
  !insertmacro LinkIsOurs "${SENDTO_LINK}"
  StrCpy $OwnSendTo $Answer
  !insertmacro LinkIsOurs "${START_LINK}"
  StrCpy $OwnStartLink $Answer
  ReadRegStr $PathA HKCU "${UNINSTALL_KEY}" "InstallLocation"
  StrCpy $PathB $INSTDIR
  Call un.SamePlace
  StrCpy $OwnEntry $Answer
FunctionEnd

Section "-un.Program"
  ; A copy of the program takes away the sign-in entries and scheduled
  ; tasks that its lists' approvals made, and any other that starts this
  ; install's program unattended (the copy is told which program that is),
  ; and nothing else, once the program itself is gone.
  InitPluginsDir
  CopyFiles /SILENT "$INSTDIR\ombrelay.exe" "$PLUGINSDIR\ombrelay.exe"
  ; The program first: it cannot be deleted while it runs, and then nothing
  ; else has been touched yet either.
  retry:
  Delete "$INSTDIR\ombrelay.exe"
  ${If} ${FileExists} "$INSTDIR\ombrelay.exe"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${RUNNING_TEXT}" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Abort "${APP} is running: nothing was removed."
  ${EndIf}
  ${If} ${FileExists} "$PLUGINSDIR\ombrelay.exe"
    ExecWait '"$PLUGINSDIR\ombrelay.exe" /forget-unattended-starts "$INSTDIR\ombrelay.exe"'
    Delete "$PLUGINSDIR\ombrelay.exe"
  ${EndIf}
  ${If} $OwnFileVerb == 1
    DeleteRegKey HKCU "Software\Classes\*\shell\${VERB}"
  ${EndIf}
  ${If} $OwnFolderVerb == 1
    DeleteRegKey HKCU "Software\Classes\Directory\shell\${VERB}"
  ${EndIf}
  ${If} $OwnSendTo == 1
    Delete "${SENDTO_LINK}"
  ${EndIf}
  ${If} $OwnStartLink == 1
    Delete "${START_LINK}"
  ${EndIf}
  ; File by file: the folder may hold things that are not ours (a delete
  ; list saved next to the program); it goes only when it is empty.
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
  DeleteRegValue HKCU "${SETTINGS_KEY}" "BrokenApprovals"
  DeleteRegKey HKCU "${SETTINGS_KEY}\Approvals"
  DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"
  Delete "$LOCALAPPDATA\${APP}\run log.txt"
  RMDir "$LOCALAPPDATA\${APP}"
SectionEnd

; Last, so that its absence means the uninstall is complete.
Section "-un.Entry"
  ${If} $OwnEntry == 1
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
