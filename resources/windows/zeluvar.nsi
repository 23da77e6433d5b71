; The Windows installer. scripts/windows-package passes VERSION (x.y.z), FILES (the InstallFiles
; and UninstallFiles macros listing the shipped files), ICON and OUTFILE.
Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zeluvar"

Name "Zeluvar"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zeluvar"
RequestExecutionLevel admin
BrandingText "Zeluvar ${VERSION}"

; Like the program's own version information, no copyright line.
!pragma warning disable 9100
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 ProductName "Zeluvar"
VIAddVersionKey /LANG=2052 CompanyName "Zeluvar"
VIAddVersionKey /LANG=2052 FileDescription "Zeluvar 安装程序"
VIAddVersionKey /LANG=2052 FileVersion "${VERSION}"
VIAddVersionKey /LANG=2052 ProductVersion "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; Shortcuts go to every user's Start menu and desktop, as the program is installed per machine.
Function .onInit
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Zeluvar" SecProgram
  SectionIn RO
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ; The shortcut starts the program in its own folder.
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\Zeluvar.lnk" "$INSTDIR\zeluvar.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "Zeluvar"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" Publisher "Zeluvar"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\zeluvar.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" EstimatedSize $0
SectionEnd

Section /o "桌面快捷方式" SecDesktop
  SetOutPath "$INSTDIR"
  CreateShortcut "$DESKTOP\Zeluvar.lnk" "$INSTDIR\zeluvar.exe"
SectionEnd

; The folder goes last, so that its disappearing means the uninstaller is done.
Section "Uninstall"
  Delete "$DESKTOP\Zeluvar.lnk"
  Delete "$SMPROGRAMS\Zeluvar.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  !insertmacro UninstallFiles
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
