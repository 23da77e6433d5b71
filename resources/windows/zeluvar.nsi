; SPDX-FileCopyrightText: 2026 Zeluvar developers
; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer. scripts/windows-package passes the program's identity as the build gives
; it (NAME, VERSION x.y.z, PUBLISHER, and RUNNING_MARKER, the mutex zeluvar.exe holds while it
; runs), FILES (the InstallFiles, UninstallFiles and UninstallFolders macros listing the shipped
; files), ICON, LICENSE (Zeluvar's COPYING) and OUTFILE.
Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${NAME}"
; Installing again upgrades the folder of the first install, wherever the user put it.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" InstallLocation
; A file that cannot be replaced stops the install: a folder of two versions does not start.
AllowSkipFiles off
RequestExecutionLevel admin
BrandingText "${NAME} ${VERSION}"

; Like the program's own version information, no copyright line.
!pragma warning disable 9100
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 ProductName "${NAME}"
VIAddVersionKey /LANG=2052 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=2052 FileDescription "${NAME} 安装程序"
VIAddVersionKey /LANG=2052 FileVersion "${VERSION}"
VIAddVersionKey /LANG=2052 ProductVersion "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
; The GPL asks for no acceptance: the license is shown, and the button goes on as on every page.
!define MUI_LICENSEPAGE_BUTTON "下一步(&N) >"
!define MUI_LICENSEPAGE_TEXT_TOP "${NAME} 是自由软件，按 GNU 通用公共许可证第 3 版或更新版本发布。"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "使用 ${NAME} 无须接受此许可证；复制、修改、分发时请遵守它。随附各部分的许可见安装目录中的 THIRD-PARTY-NOTICES.txt。点「下一步」继续。"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; The program's files cannot be replaced or removed while it runs. Asks the user to close it, as
; often as they like; silent, or when the user cancels, ends with nothing changed and exit code 3.
!macro ZeluvarClosedFunction PREFIX
Function ${PREFIX}WaitUntilZeluvarIsClosed
  check:
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MARKER}") p.r1 ?e'
    Pop $0
    StrCmp $1 0 0 running
    ; ERROR_ACCESS_DENIED: the ${NAME} of another user holds it.
    IntCmp $0 5 running
    Return
  running:
    StrCmp $1 0 +2
    System::Call 'kernel32::CloseHandle(p r1)'
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${NAME} 正在运行。请先关闭 ${NAME}，再点「重试」；点「取消」则退出，什么也不改动。" \
      /SD IDCANCEL IDRETRY check
    SetErrorLevel 3
    Quit
FunctionEnd
!macroend
!insertmacro ZeluvarClosedFunction ""
!insertmacro ZeluvarClosedFunction "un."

; Shortcuts go to every user's Start menu and desktop, as the program is installed per machine.
Function .onInit
  SetShellVarContext all
  Call WaitUntilZeluvarIsClosed
FunctionEnd

Function un.onInit
  SetShellVarContext all
  Call un.WaitUntilZeluvarIsClosed
FunctionEnd

Section "${NAME}" SecProgram
  SectionIn RO
  Call WaitUntilZeluvarIsClosed  ; it may have been started while the pages were shown
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ; The shortcut starts the program in its own folder.
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\zeluvar.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" Publisher "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\zeluvar.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" EstimatedSize $0
SectionEnd

Section /o "桌面快捷方式" SecDesktop
  SetOutPath "$INSTDIR"
  CreateShortcut "$DESKTOP\${NAME}.lnk" "$INSTDIR\zeluvar.exe"
SectionEnd

; The program's files go first. If one cannot be removed (another program has it open), the
; uninstaller says so and keeps itself, the shortcuts and the uninstall entry, so that the user can
; finish the removal later; silent, it ends with exit code 4. The folder goes last, so that its
; disappearing means the uninstaller is done.
Section "Uninstall"
  Call un.WaitUntilZeluvarIsClosed
  ClearErrors
  !insertmacro UninstallFiles
  IfErrors 0 removed
    MessageBox MB_OK|MB_ICONSTOP \
      "有文件无法删除，${NAME} 没有卸载完。请关闭正在使用 ${NAME} 文件的程序，再卸载一次。" /SD IDOK
    SetErrorLevel 4
    Abort
  removed:
  !insertmacro UninstallFolders
  Delete "$DESKTOP\${NAME}.lnk"
  Delete "$SMPROGRAMS\${NAME}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
