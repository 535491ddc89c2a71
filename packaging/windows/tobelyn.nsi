; The per-user installer of the Windows game, made with NSIS's makensis:
;
;   makensis -DVERSION=1.0.0 -DEXE=tobelyn.exe -DREADME=README.txt
;            -DICON=tobelyn.ico -DHEADER=header.bmp -DPANEL=panel.bmp
;            -DOUTFILE=tobelyn-setup.exe tobelyn.nsi
;
; It uses NSIS's own modern interface: the game's icon, its header strip on
; every page, the version in the title, and a last page that offers to start
; the game (HEADER and PANEL are drawn by tools/artgen).
;
; No administrator rights: the game goes under the user's own programs
; folder, with a Start-menu entry and an entry in the list of installed
; programs, all of the current user. The uninstaller removes exactly what
; was installed; the settings (registry) and the player's files under
; %APPDATA%\Tobelyn stay unless the player asks for them to go (a question,
; or /PURGE on a silent uninstall's command line). No time is stored, so
; two builds from the same files are the same bytes.
; A 64-bit installer for the 64-bit game (it also runs where no 32-bit
; layer is installed).
Target amd64-unicode
SetCompressor /SOLID lzma
SetDateSave off
RequestExecutionLevel user
ManifestDPIAware true

!include FileFunc.nsh
!include LogicLib.nsh
!include MUI2.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tobelyn"
!define SETTINGS_KEY "Software\Qen\Tobelyn"

Name "Tobelyn ${VERSION}"
BrandingText "Tobelyn ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tobelyn"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

; The game's window class (res/tobelyn.rc, string 3): a running game is
; found by its window, which needs no plug-in beyond the ones NSIS ships.
!define WINDOW_CLASS "TOBELYN"
; A file in use is never skipped: the install fails instead of reporting
; success over the old game.
AllowSkipFiles off

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${HEADER}"
!define MUI_HEADERIMAGE_UNBITMAP "${HEADER}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${PANEL}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${PANEL}"
!define MUI_ABORTWARNING
; The last page: "Run Tobelyn", ticked, starts the installed game.
!define MUI_FINISHPAGE_RUN "$INSTDIR\tobelyn.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Run Tobelyn"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the README"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Tobelyn"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Tobelyn darts installer"
VIAddVersionKey /LANG=1033 "CompanyName" "Qen"
VIAddVersionKey /LANG=1033 "LegalCopyright" "(C) 2026 Qen"

; Says TEXT where a silent run's caller can read it: on the standard error
; when there is one, else on the console of whoever started the program.
!macro SAY_ON_CONSOLE TEXT
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $1 "${TEXT}$\r$\n"
  StrLen $2 $1
  System::Call 'kernel32::GetStdHandle(i -12) p .r0'
  ${If} $0 P= 0
  ${OrIf} $0 P= -1
    System::Call 'kernel32::AttachConsole(i -1) i'
    System::Call 'kernel32::CreateFileW(w "CONOUT$$", i 0x40000000, i 3, p 0, i 3, i 0, p 0) p .r0'
  ${EndIf}
  ${IfNot} $0 P= 0
  ${AndIfNot} $0 P= -1
    ; A console takes the text wide; a file or a pipe gets its bytes.
    System::Call 'kernel32::WriteConsoleW(p r0, w r1, i r2, *i .r3, p 0) i .r3'
    ${If} $3 == 0
      System::Call 'kernel32::WriteFile(p r0, m r1, i r2, *i .r3, p 0)'
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
!macroend

; While the game runs its files cannot be replaced or removed: the player
; is asked to close it (OK closes it for them, saving its settings as any
; close does), and a silent run fails with exit status 2 and a message.
!macro CLOSE_RUNNING_GAME UN WHAT
Function ${UN}closeRunningGame
  Push $0
  Push $1
  again:
    FindWindow $0 "${WINDOW_CLASS}"
    StrCmp $0 0 closed
    IfSilent silent
    MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "Tobelyn is running. Choose OK to close it (your settings are kept) and ${WHAT}, or Cancel to stop." IDOK ask
    Goto refused
  ask:
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ; The game saves and ends; its window goes a moment before the process.
    StrCpy $1 0
  waiting:
    FindWindow $0 "${WINDOW_CLASS}"
    StrCmp $0 0 settle
    IntOp $1 $1 + 1
    IntCmp $1 50 again
    Sleep 200
    Goto waiting
  settle:
    Sleep 1000
    Goto again
  silent:
    !insertmacro SAY_ON_CONSOLE "Tobelyn is running: close it, then run this again."
  refused:
    SetErrorLevel 2
    Quit
  closed:
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_GAME "" "go on installing"
!insertmacro CLOSE_RUNNING_GAME "un." "go on uninstalling"

Section "Tobelyn"
  SetShellVarContext current
  Call closeRunningGame
  SetOutPath "$INSTDIR"
  File "/oname=tobelyn.exe" "${EXE}"
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tobelyn.lnk" "$INSTDIR\tobelyn.exe" "" "$INSTDIR\tobelyn.exe" 0
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tobelyn"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tobelyn.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Qen"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  ; tobelyn:CODE links (a match code sent in a chat) open the game on the code.
  WriteRegStr HKCU "Software\Classes\tobelyn" "" "URL:Tobelyn match"
  WriteRegStr HKCU "Software\Classes\tobelyn" "URL Protocol" ""
  WriteRegStr HKCU "Software\Classes\tobelyn\DefaultIcon" "" "$INSTDIR\tobelyn.exe,0"
  WriteRegStr HKCU "Software\Classes\tobelyn\shell\open\command" "" '"$INSTDIR\tobelyn.exe" --watch "%1"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Call un.closeRunningGame
  Delete "$INSTDIR\tobelyn.exe"
  Delete "$INSTDIR\README.txt"
  ; The entries that lead to the game go only once its files are gone: a
  ; file that could not be removed keeps them, and the uninstall fails, so
  ; that it can be run again.
  ${If} ${FileExists} "$INSTDIR\tobelyn.exe"
  ${OrIf} ${FileExists} "$INSTDIR\README.txt"
    !insertmacro SAY_ON_CONSOLE "Tobelyn's files in $INSTDIR could not be removed: close the game, then uninstall again."
    MessageBox MB_OK|MB_ICONSTOP "Tobelyn's files in $INSTDIR could not be removed. Close the game, then uninstall again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tobelyn.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Classes\tobelyn"
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/PURGE" $1
  IfErrors 0 purge
  MessageBox MB_YESNO|MB_DEFBUTTON2 "Also remove your Tobelyn settings and records?" /SD IDNO IDYES purge
  Goto done
purge:
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  RMDir /r "$APPDATA\Tobelyn"
done:
SectionEnd
