; The Windows installer: kesto-design.exe, kesto-decorate.exe and the sample templates into the
; user's own program folder, without administrator rights; a Start-menu shortcut; an uninstaller
; registered with the system for the current user. Built by CMake with makensis:
;   makensis -DSTAGE=<folder with the programs and template\> -DOUTFILE=<setup.exe>
;            -DVERSION=<x.y.z> kesto-decor.nsi
; /S installs (and uninstalls) silently; /D=<folder> chooses the folder.
;
; Neither installing nor uninstalling changes anything while kesto-design or kesto-decorate runs:
; the user is asked to close it (Retry or Cancel); a silent run ends at once with exit status 2,
; before any file, registry value or shortcut is touched.

; The programs are 64-bit, and so is the installer.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!ifndef VERSION
    !define VERSION "0.0.0"
!endif
!define PRODUCT "kesto-decor"
!define CAPTION "Kesto装修"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Each running program holds this mutex open (platform/win32/program_running_mark_win32.cpp).
!define RUNNING_MARK "Local\kesto-decor-running"
!define SYNCHRONIZE 0x00100000
; Where kesto-design sets the browser control's document mode, in a value named after its file.
!define EMULATION_KEY "Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_BROWSER_EMULATION"
; The programs' data folder for the user: the login's cookie file, the shops' lock files, the
; trace logs of an installed program, and the user's own templates.
!define DATA_FOLDER "$LOCALAPPDATA\${PRODUCT}"
; The exit status of a run that changed nothing because a program was running, or that could not
; replace or remove a program's file.
!define REFUSED 2

Name "${CAPTION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show
; A file that cannot be replaced fails the installation (Retry or Cancel); it is never skipped.
AllowSkipFiles off

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The language follows the user's interface language: Chinese (any variant) gets Chinese,
; every other language English, the first one inserted. The programs choose their message
; catalog by the same rule.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString RunningInstall ${LANG_ENGLISH} "${CAPTION} is running. Close kesto-design and \
    kesto-decorate, then press Retry; Cancel stops without installing and changes nothing."
LangString RunningInstall ${LANG_SIMPCHINESE} "${CAPTION}正在运行。请关闭 kesto-design 和 \
    kesto-decorate 后点击“重试”；点击“取消”则不安装，什么也不改变。"
LangString RunningUninstall ${LANG_ENGLISH} "${CAPTION} is running. Close kesto-design and \
    kesto-decorate, then press Retry; Cancel stops without uninstalling and changes nothing."
LangString RunningUninstall ${LANG_SIMPCHINESE} "${CAPTION}正在运行。请关闭 kesto-design 和 \
    kesto-decorate 后点击“重试”；点击“取消”则不卸载，什么也不改变。"
LangString NotRemoved ${LANG_ENGLISH} "A program of ${CAPTION} could not be removed; the \
    uninstallation stopped. Close the program and uninstall again."
LangString NotRemoved ${LANG_SIMPCHINESE} "无法删除${CAPTION}的程序，卸载已停止。请关闭程序后重新卸载。"

; Whether a program of the installation runs: its mutex is there, or (a program that holds none,
; such as an older version) one of the installed executables cannot be opened for writing, as
; the system refuses while it runs. Leaves 1 or 0 in $0.
!macro DEFINE_PROGRAM_RUNS UN
Function ${UN}ProgramRuns
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${RUNNING_MARK}") p .r0'
    ${If} $0 P<> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        StrCpy $0 1
        Return
    ${EndIf}
    !insertmacro EXECUTABLE_RUNS "$INSTDIR\kesto-design.exe"
    !insertmacro EXECUTABLE_RUNS "$INSTDIR\kesto-decorate.exe"
    StrCpy $0 0
FunctionEnd
!macroend

!macro EXECUTABLE_RUNS FILE
    ${If} ${FileExists} "${FILE}"
        ClearErrors
        FileOpen $0 "${FILE}" a
        ${If} ${Errors}
            StrCpy $0 1
            Return
        ${EndIf}
        FileClose $0
    ${EndIf}
!macroend

!insertmacro DEFINE_PROGRAM_RUNS ""
!insertmacro DEFINE_PROGRAM_RUNS "un."

; Returns only once no program runs: until then the user is asked to close them, and Cancel (the
; answer of a silent run) ends the run with exit status REFUSED, nothing changed.
!macro WAIT_UNTIL_CLOSED UN MESSAGE
    Push $0
    ${Do}
        Call ${UN}ProgramRuns
        ${If} $0 = 0
            ${Break}
        ${EndIf}
        ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${MESSAGE}" /SD IDCANCEL IDRETRY`
            SetErrorLevel ${REFUSED}
            Quit
        ${EndIf}
    ${Loop}
    Pop $0
!macroend

Function .onInit
    !insertmacro WAIT_UNTIL_CLOSED "" "$(RunningInstall)"
FunctionEnd

Function un.onInit
    !insertmacro WAIT_UNTIL_CLOSED "un." "$(RunningUninstall)"
FunctionEnd

Section "Install"
    SetShellVarContext current
    ; A program may have been started while the pages were shown.
    !insertmacro WAIT_UNTIL_CLOSED "" "$(RunningInstall)"
    ; The uninstaller and its entry come first, so that an installation that fails part way (a
    ; file that cannot be written, a full disk) can still be removed.
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\locale"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${CAPTION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kesto-design.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "Language" $LANGUAGE
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    File "${STAGE}\kesto-design.exe"
    File "${STAGE}\kesto-decorate.exe"
    SetOutPath "$INSTDIR\template"
    File /r "${STAGE}\template\*"
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\${CAPTION}.lnk" "$INSTDIR\kesto-design.exe"
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes the programs first: one that cannot be removed stops the uninstallation with the
; shortcut and the uninstall entry still in place, so that it can be run again. Then what the
; installer put there and the programs' own trace logs, and the folder only when nothing else is
; left in it: files a user keeps there stay. In the user's data folder the login's cookie file
; goes (the login belongs to this installation), with the shops' lock files and the trace logs;
; templates the user made there stay, and the folder with them.
Section "Uninstall"
    SetShellVarContext current
    !insertmacro WAIT_UNTIL_CLOSED "un." "$(RunningUninstall)"
    ClearErrors
    Delete "$INSTDIR\kesto-design.exe"
    Delete "$INSTDIR\kesto-decorate.exe"
    ${If} ${Errors}
        MessageBox MB_OK|MB_ICONSTOP "$(NotRemoved)" /SD IDOK
        SetErrorLevel ${REFUSED}
        Abort
    ${EndIf}
    Delete "$INSTDIR\Trace*.log"
    RMDir /r "$INSTDIR\template"
    RMDir /r "$INSTDIR\locale"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${CAPTION}.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegValue HKCU "${EMULATION_KEY}" "kesto-design.exe"
    Delete "${DATA_FOLDER}\cookies.txt"
    Delete "${DATA_FOLDER}\cookies.txt.saving"
    Delete "${DATA_FOLDER}\decorating-*.lock"
    Delete "${DATA_FOLDER}\Trace*.log"
    RMDir "${DATA_FOLDER}"
SectionEnd
