; The Windows setup of Palinor, made by scripts/package-windows.sh from the folder the zip carries:
;   makensis -DVERSION=1.0 -DFOLDER=<Palinor folder> -DICON=palinor.ico -DREMOVE=<list> -DOUTFILE=<setup.exe> palinor.nsi
; REMOVE holds a Delete line for each file of FOLDER and an RMDir line for each of its folders, deepest first: the
; uninstaller removes what was installed and nothing else, so a billard.mdb put beside the program stays, and the
; scores in %APPDATA%\Palinor (the program finds its Uninstall.exe and keeps them there) are never touched.
; Silent with /S, both ways.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
!include MUI2.nsh

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Palinor"
Name "Palinor"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Palinor"
InstallDirRegKey HKLM "${KEY}" InstallLocation
BrandingText "Palinor ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

Section
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${FOLDER}\*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ; Started in its own folder, with its own icon.
  CreateShortcut "$SMPROGRAMS\Palinor.lnk" "$INSTDIR\Palinor.exe" "" "$INSTDIR\Palinor.exe" 0
  WriteRegStr HKLM "${KEY}" DisplayName "Palinor"
  WriteRegStr HKLM "${KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKLM "${KEY}" Publisher "Palinor"
  WriteRegStr HKLM "${KEY}" DisplayIcon "$INSTDIR\Palinor.exe,0"
  WriteRegStr HKLM "${KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${KEY}" UninstallString '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${KEY}" QuietUninstallString '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${KEY}" NoModify 1
  WriteRegDWORD HKLM "${KEY}" NoRepair 1
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${KEY}" EstimatedSize $0
SectionEnd

Section Uninstall
  SetShellVarContext all
  !include "${REMOVE}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Palinor.lnk"
  DeleteRegKey HKLM "${KEY}"
SectionEnd
