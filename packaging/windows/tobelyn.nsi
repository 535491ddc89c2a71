; The per-user installer of the Windows game, made with NSIS's makensis:
;
;   makensis -DVERSION=1.0.0 -DEXE=tobelyn.exe -DREADME=README.txt
;            -DICON=tobelyn.ico -DOUTFILE=tobelyn-setup.exe tobelyn.nsi
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

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tobelyn"
!define SETTINGS_KEY "Software\Qen\Tobelyn"

Name "Tobelyn"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\Tobelyn"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Tobelyn"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Tobelyn darts installer"
VIAddVersionKey /LANG=1033 "CompanyName" "Qen"
VIAddVersionKey /LANG=1033 "LegalCopyright" "(C) 2026 Qen"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Tobelyn"
  SetShellVarContext current
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
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Tobelyn.lnk"
  Delete "$INSTDIR\tobelyn.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
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
