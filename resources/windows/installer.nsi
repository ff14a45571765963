; The Windows installer: the editor, the editor with the emulated keyboard and the quillet tool, installed for
; the current user without administrator rights (or, with /ALLUSERS from an administrator, for every user of
; the machine), with Start menu entries, .qmv49 files opened by the editor, the tool on the PATH if chosen, and
; an uninstaller that takes away all it added.
;   makensis -NOCD -DVERSION=1.1 -DPROGRAMS=folder -DRESOURCES=folder -DOUTFILE=setup.exe installer.nsi
; Silent: setup.exe /S [/ALLUSERS] [/ADDTOPATH] [/D=folder] and uninstall.exe /S.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "StrFunc.nsh"
!include "WinMessages.nsh"

!define APP "Quillet MIDI Control Center"
!define TRY_APP "${APP} (try without a keyboard)"
!define PROGID "Quillet.Settings49"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillet MIDI Control Center"
!define SHCNE_ASSOCCHANGED 0x08000000
!define USER_ENVIRONMENT "Environment"
!define MACHINE_ENVIRONMENT "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"

; The registry's user or machine half (SHCTX) follows the shell context; the environment's key differs too.
Var EnvironmentKey

${StrStr}
${UnStrRep}

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Morvane - The Quillet MIDI Control Center ${VERSION}"

!define MUI_ICON "${RESOURCES}\icon.ico"
!define MUI_UNICON "${RESOURCES}\icon.ico"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\quillet-editor.exe"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "${APP}" SecPrograms
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${PROGRAMS}\quillet-editor.exe"
  File "${PROGRAMS}\quillet-editor-emulated.exe"
  File "${PROGRAMS}\quillet.exe"
  File "/oname=README.txt" "${RESOURCES}\README-windows.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\quillet-editor.exe"
  CreateShortcut "$SMPROGRAMS\${TRY_APP}.lnk" "$INSTDIR\quillet-editor-emulated.exe"

  ; Settings files open with the editor, which takes the file as its argument, and show its icon.
  WriteRegStr SHCTX "Software\Classes\.qmv49" "" "${PROGID}"
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "Quillet 49 settings"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\quillet-editor.exe,0"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\quillet-editor.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'

  ; Apps & features lists it, with its uninstaller.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Morvane"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillet-editor.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "The quillet tool on the PATH" SecPath
  ; The user's own PATH, or the machine's. The installer's strings hold NSIS_MAX_STRLEN characters: a PATH
  ; that would not fit is left as it is rather than cut short.
  ClearErrors
  ReadRegStr $0 SHCTX $EnvironmentKey "Path"
  ${If} ${Errors}
  ${OrIf} $0 == ""
    WriteRegExpandStr SHCTX $EnvironmentKey "Path" "$INSTDIR"
  ${Else}
    StrLen $1 $0
    StrLen $2 $INSTDIR
    IntOp $1 $1 + $2
    IntOp $1 $1 + 2
    ${If} $1 >= ${NSIS_MAX_STRLEN}
      DetailPrint "Your PATH is too long to add $INSTDIR to it; add it yourself."
      Return
    ${EndIf}
    ${StrStr} $3 ";$0;" ";$INSTDIR;"
    ${If} $3 == ""
      StrCpy $2 $0 1 -1
      ${If} $2 == ";"
        WriteRegExpandStr SHCTX $EnvironmentKey "Path" "$0$INSTDIR"
      ${Else}
        WriteRegExpandStr SHCTX $EnvironmentKey "Path" "$0;$INSTDIR"
      ${EndIf}
    ${EndIf}
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=2000
SectionEnd

Function .onInit
  StrCpy $EnvironmentKey "${USER_ENVIRONMENT}"
  ${GetParameters} $0
  ; /ALLUSERS installs for every user, in Program Files: only an administrator may.
  ClearErrors
  ${GetOptions} $0 "/ALLUSERS" $1
  ${IfNot} ${Errors}
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
      MessageBox MB_ICONSTOP "Installing for all users needs an administrator." /SD IDOK
      SetErrorLevel 740
      Quit
    ${EndIf}
    ; Unless a folder was given (/D=), Program Files rather than the user's own programs.
    ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $INSTDIR == "$LOCALAPPDATA\Programs\${APP}"
    ${OrIf} $INSTDIR == $1
      StrCpy $INSTDIR "$PROGRAMFILES64\${APP}"
    ${EndIf}
    SetShellVarContext all
    StrCpy $EnvironmentKey "${MACHINE_ENVIRONMENT}"
  ${EndIf}
  ; /ADDTOPATH puts the tool on the PATH in a silent install too.
  ClearErrors
  ${GetOptions} $0 "/ADDTOPATH" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecPath}
  ${EndIf}
FunctionEnd

Function un.onInit
  ; Installed for every user when the machine's list of programs names this folder.
  StrCpy $EnvironmentKey "${USER_ENVIRONMENT}"
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    SetShellVarContext all
    StrCpy $EnvironmentKey "${MACHINE_ENVIRONMENT}"
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Delete "$INSTDIR\quillet-editor.exe"
  Delete "$INSTDIR\quillet-editor-emulated.exe"
  Delete "$INSTDIR\quillet.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The folder of per-user programs, when the install made it and nothing else is in it.
  ${If} $EnvironmentKey == "${USER_ENVIRONMENT}"
    RMDir "$LOCALAPPDATA\Programs"
  ${EndIf}
  Delete "$SMPROGRAMS\${APP}.lnk"
  Delete "$SMPROGRAMS\${TRY_APP}.lnk"

  ; The file type goes only while it is still the editor's.
  ReadRegStr $0 SHCTX "Software\Classes\.qmv49" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue SHCTX "Software\Classes\.qmv49" ""
  ${EndIf}
  DeleteRegKey /ifempty SHCTX "Software\Classes\.qmv49"
  DeleteRegKey SHCTX "Software\Classes\${PROGID}"
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'

  ; The install folder leaves the PATH, wherever it stands in it.
  ClearErrors
  ReadRegStr $0 SHCTX $EnvironmentKey "Path"
  ${IfNot} ${Errors}
    ${If} $0 == "$INSTDIR"
      DeleteRegValue SHCTX $EnvironmentKey "Path"
    ${Else}
      ${UnStrRep} $1 ";$0;" ";$INSTDIR;" ";"
      ${If} $1 != ";$0;"
        StrCpy $1 $1 "" 1
        StrCpy $1 $1 -1
        WriteRegExpandStr SHCTX $EnvironmentKey "Path" $1
      ${EndIf}
    ${EndIf}
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=2000
  ${EndIf}

  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; In a fresh profile the install made their parents too; the machine's stay, empty or not.
  ${If} $EnvironmentKey == "${USER_ENVIRONMENT}"
    DeleteRegKey /ifempty HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall"
    DeleteRegKey /ifempty HKCU "Software\Classes"
  ${EndIf}
SectionEnd
