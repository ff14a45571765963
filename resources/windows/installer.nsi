; The Windows installer: the editor, the editor with the emulated keyboard and the quillet tool, installed for
; the current user without administrator rights, with Start menu entries, .qmv49 files opened by the editor,
; the tool on the PATH if chosen, and an uninstaller that takes away all it added.
;   makensis -NOCD -DVERSION=1.0 -DPROGRAMS=folder -DRESOURCES=folder -DOUTFILE=setup.exe installer.nsi
; Silent: setup.exe /S [/ADDTOPATH] [/D=folder] and uninstall.exe /S.

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
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${PROGRAMS}\quillet-editor.exe"
  File "${PROGRAMS}\quillet-editor-emulated.exe"
  File "${PROGRAMS}\quillet.exe"
  File "/oname=README.txt" "${RESOURCES}\README-windows.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\quillet-editor.exe"
  CreateShortcut "$SMPROGRAMS\${TRY_APP}.lnk" "$INSTDIR\quillet-editor-emulated.exe"

  ; Settings files open with the editor, which takes the file as its argument, and show its icon.
  WriteRegStr HKCU "Software\Classes\.qmv49" "" "${PROGID}"
  WriteRegStr HKCU "Software\Classes\${PROGID}" "" "Quillet 49 settings"
  WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\quillet-editor.exe,0"
  WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\quillet-editor.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'

  ; Apps & features lists it, with its uninstaller.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Morvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillet-editor.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "The quillet tool on the PATH" SecPath
  ; The user's own PATH. The installer's strings hold NSIS_MAX_STRLEN characters: a PATH that would not fit
  ; is left as it is rather than cut short.
  ClearErrors
  ReadRegStr $0 HKCU "Environment" "Path"
  ${If} ${Errors}
  ${OrIf} $0 == ""
    WriteRegExpandStr HKCU "Environment" "Path" "$INSTDIR"
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
        WriteRegExpandStr HKCU "Environment" "Path" "$0$INSTDIR"
      ${Else}
        WriteRegExpandStr HKCU "Environment" "Path" "$0;$INSTDIR"
      ${EndIf}
    ${EndIf}
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=2000
SectionEnd

Function .onInit
  ; /ADDTOPATH puts the tool on the PATH in a silent install too.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ADDTOPATH" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecPath}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\quillet-editor.exe"
  Delete "$INSTDIR\quillet-editor-emulated.exe"
  Delete "$INSTDIR\quillet.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The folder of per-user programs, when the install made it and nothing else is in it.
  RMDir "$LOCALAPPDATA\Programs"
  Delete "$SMPROGRAMS\${APP}.lnk"
  Delete "$SMPROGRAMS\${TRY_APP}.lnk"

  ; The file type goes only while it is still the editor's.
  ReadRegStr $0 HKCU "Software\Classes\.qmv49" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue HKCU "Software\Classes\.qmv49" ""
  ${EndIf}
  DeleteRegKey /ifempty HKCU "Software\Classes\.qmv49"
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'

  ; The install folder leaves the user's PATH, wherever it stands in it.
  ClearErrors
  ReadRegStr $0 HKCU "Environment" "Path"
  ${IfNot} ${Errors}
    ${If} $0 == "$INSTDIR"
      DeleteRegValue HKCU "Environment" "Path"
    ${Else}
      ${UnStrRep} $1 ";$0;" ";$INSTDIR;" ";"
      ${If} $1 != ";$0;"
        StrCpy $1 $1 "" 1
        StrCpy $1 $1 -1
        WriteRegExpandStr HKCU "Environment" "Path" $1
      ${EndIf}
    ${EndIf}
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=2000
  ${EndIf}

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Their parents too, where the install was the first to make them (a fresh profile).
  DeleteRegKey /ifempty HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall"
  DeleteRegKey /ifempty HKCU "Software\Classes"
SectionEnd
