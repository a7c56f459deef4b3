; The Windows installer: kesto-design.exe, kesto-decorate.exe and the sample templates into the
; user's own program folder, without administrator rights; a Start-menu shortcut; an uninstaller
; registered with the system for the current user. Built by CMake with makensis:
;   makensis -DSTAGE=<folder with the programs and template\> -DOUTFILE=<setup.exe>
;            -DVERSION=<x.y.z> kesto-decor.nsi
; /S installs (and uninstalls) silently; /D=<folder> chooses the folder.

; The programs are 64-bit, and so is the installer.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!ifndef VERSION
    !define VERSION "0.0.0"
!endif
!define PRODUCT "kesto-decor"
!define CAPTION "Kesto装修"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${CAPTION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "${STAGE}\kesto-design.exe"
    File "${STAGE}\kesto-decorate.exe"
    SetOutPath "$INSTDIR\template"
    File /r "${STAGE}\template\*"
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\locale"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${CAPTION}.lnk" "$INSTDIR\kesto-design.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${CAPTION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kesto-design.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there and the programs' own trace logs, and the folder only when
; nothing else is left in it: files a user keeps there stay. The user's login cookies live in the
; user's data folder, not here, and stay too.
Section "Uninstall"
    SetShellVarContext current
    Delete "$INSTDIR\kesto-design.exe"
    Delete "$INSTDIR\kesto-decorate.exe"
    Delete "$INSTDIR\Trace*.log"
    RMDir /r "$INSTDIR\template"
    RMDir /r "$INSTDIR\locale"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${CAPTION}.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
