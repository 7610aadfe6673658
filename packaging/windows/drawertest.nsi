; The Windows installer of drawertest: for all users (Program Files, administrator rights) or
; for the one who installs it (their own programs folder), a Start-menu entry for the program
; and one for its demo, and an uninstaller that takes away all of it. scripts/build-windows
; builds it with Debian's makensis, giving VERSION, EXE (drawertest.exe), COM (drawertest.com,
; the console twin that runs the command line) and OUTFILE.
;   drawertest-VERSION-setup.exe [/S] [/AllUsers | /CurrentUser] [/D=folder]
; A 64-bit installer for the 64-bit program (and for Wine without its 32-bit half).
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "drawertest"
!define TITLE "Dunmere Cash Drawer Test Utility"
!define PUBLISHER "Dunmere Cash Drawer Corporation"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!include MultiUser.nsh
!include MUI2.nsh

Name "${TITLE}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${TITLE} setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\drawertest.exe"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "drawertest"
  SetOutPath "$INSTDIR"
  File "/oname=drawertest.exe" "${EXE}"
  File "/oname=drawertest.com" "${COM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${TITLE}.lnk" "$INSTDIR\drawertest.exe"
  CreateShortcut "$SMPROGRAMS\${TITLE} (demo).lnk" "$INSTDIR\drawertest.exe" "--demo"
  ; Where Windows' list of programs finds it, and how to take it away again in the same mode.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\drawertest.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${TITLE}.lnk"
  Delete "$SMPROGRAMS\${TITLE} (demo).lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; The ports the one who uninstalls chose in the Ports dialog.
  DeleteRegKey HKCU "Software\drawertest"
  ; The folder goes last: once it is gone, so is everything else (a deployment tool, and the
  ; installer's test, wait for that).
  Delete "$INSTDIR\drawertest.exe"
  Delete "$INSTDIR\drawertest.com"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
