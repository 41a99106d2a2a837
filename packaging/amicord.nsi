; Amicord's installer: per user, no administrator rights, into
; %LOCALAPPDATA%\Programs\Amicord. scripts/package builds it from the 32-bit
; release layout:
;
;   makensis /DVERSION=1.2.3 /DLAYOUT=<folder holding Amicord.exe> /DOUTFILE=<setup.exe> amicord.nsi
;
; /DTARGET_AMD64 makes a 64-bit installer of the same script; the tests install
; and uninstall that one under Wine, which cannot run 32-bit code here.
;
; The user's data lives in settings\ beside Amicord.exe. The installer only ever
; creates that folder, so installing over an older version keeps the data, and
; the uninstaller deletes it only after the user answered Yes.

!ifndef VERSION | LAYOUT | OUTFILE
  !error "Define VERSION, LAYOUT and OUTFILE (see the top of this file)"
!endif

Unicode true
ManifestDPIAware true
!ifdef TARGET_AMD64
  Target amd64-unicode
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Amicord"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Amicord"

Name "Amicord"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Amicord"
; An upgrade goes where the earlier version is, wherever the user put it.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
BrandingText "Amicord ${VERSION}"
ShowInstDetails hide
ShowUninstDetails hide

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Amicord"
VIAddVersionKey /LANG=1033 "CompanyName" "Amicord"
VIAddVersionKey /LANG=1033 "FileDescription" "Amicord Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Amicord"

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh

; makensis works in this file's folder.
!define MUI_ICON "../resources/icons/app.ico"
!define MUI_UNICON "../resources/icons/app.ico"
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckInstallFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Amicord.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Amicord"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\help.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Read the user guide"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

; Windows refuses to open a running program's file for writing: that tells
; whether this installation's Amicord runs, whatever other copies do.
!macro DEFINE_ENSURE_NOT_RUNNING PREFIX
Function ${PREFIX}EnsureNotRunning
  ${DoWhile} ${FileExists} "$INSTDIR\Amicord.exe"
    ClearErrors
    FileOpen $0 "$INSTDIR\Amicord.exe" a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Amicord is running.$\n$\nPlease end it first: right-click its icon in the notification area and choose Exit. Then click Retry." \
      /SD IDCANCEL IDRETRY retry
    Abort "Amicord is running."
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro DEFINE_ENSURE_NOT_RUNNING ""
!insertmacro DEFINE_ENSURE_NOT_RUNNING "un."

; Amicord keeps its data beside itself, so a folder the user cannot write to
; would install a program that cannot save.
Function CheckInstallFolder
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $0 "$INSTDIR\amicord-write-test.tmp" w
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONEXCLAMATION \
      "Amicord keeps your data in its own folder, so it needs a folder you may write to.$\n$\nPlease choose another folder, for example in your user folder."
    Abort
  ${EndIf}
  FileClose $0
  Delete "$INSTDIR\amicord-write-test.tmp"
  ; Only if empty: nothing is left behind should the user cancel now.
  RMDir "$INSTDIR"
FunctionEnd

Section "Amicord" SectionProgram
  SectionIn RO
  SetShellVarContext current
  Call EnsureNotRunning

  SetOutPath "$INSTDIR"
  File "${LAYOUT}/Amicord.exe"
  File "${LAYOUT}/help.html"
  SetOutPath "$INSTDIR\images\groups"
  File "${LAYOUT}/images/groups/default.png"
  ; Created, never written: an upgrade must leave the user's files as they are.
  CreateDirectory "$INSTDIR\settings"
  SetOutPath "$INSTDIR"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Amicord.lnk" "$INSTDIR\Amicord.exe" "" "$INSTDIR\Amicord.exe" 0 \
    SW_SHOWNORMAL "" "Keep in touch with the people who matter to you"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Amicord"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Amicord"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Amicord.exe,0"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; The program's own files only: the user's data is not part of what it costs.
  SectionGetSize ${SectionProgram} $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The auto-start value goes when it names this installation's program, or a
; program that is no longer there. A value naming a copy that still exists
; elsewhere (a portable one) keeps that copy starting with Windows.
!macro REMOVE_RUN_VALUE ROOT
  ClearErrors
  ReadRegStr $0 ${ROOT} "${RUN_KEY}" "${RUN_VALUE}"
  ${IfNot} ${Errors}
    StrCpy $1 $0 1
    ${If} $1 == '"'
      StrCpy $0 $0 "" 1
      StrCpy $1 $0 1 -1
      ${If} $1 == '"'
        StrCpy $0 $0 -1
      ${EndIf}
    ${EndIf}
    ${If} $0 == "$INSTDIR\Amicord.exe"
    ${OrIfNot} ${FileExists} "$0"
      DeleteRegValue ${ROOT} "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
  ${EndIf}
!macroend

Function un.RemoveAutoStart
  !insertmacro REMOVE_RUN_VALUE HKCU
  ; The machine's key needs administrator rights; without them it stays as it is.
  ; A 32-bit Amicord on 64-bit Windows writes to the 32-bit view of the key.
  SetRegView 32
  !insertmacro REMOVE_RUN_VALUE HKLM
!ifdef TARGET_AMD64
  SetRegView 64
  !insertmacro REMOVE_RUN_VALUE HKLM
!else
  ${If} ${RunningX64}
    SetRegView 64
    !insertmacro REMOVE_RUN_VALUE HKLM
  ${EndIf}
!endif
  SetRegView default
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  ; A running Amicord would write its data again after it was deleted.
  Call un.EnsureNotRunning

  Delete "$INSTDIR\Amicord.exe"
  Delete "$INSTDIR\help.html"
  Delete "$INSTDIR\images\groups\default.png"
  ; Only when empty: the picture chooser starts in images\, so the user's own
  ; pictures may be there.
  RMDir "$INSTDIR\images\groups"
  RMDir "$INSTDIR\images"
  Delete "$INSTDIR\Uninstall.exe"
  Delete "$SMPROGRAMS\Amicord.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Call un.RemoveAutoStart

  RMDir "$INSTDIR\settings"
  ${If} ${FileExists} "$INSTDIR\settings\*.*"
    StrCpy $2 ""
    ${If} ${FileExists} "$INSTDIR\images\*.*"
      StrCpy $2 "$\n$\nThe pictures you put in this folder are deleted as well:$\n$INSTDIR\images"
    ${EndIf}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Do you also want to delete your Amicord data?$\n$\nYour contacts, groups and options are kept in this folder:$\n$INSTDIR\settings$2$\n$\nChoose No to keep them, for example to install Amicord again later." \
      /SD IDNO IDNO keep_data
    RMDir /r "$INSTDIR\settings"
    RMDir /r "$INSTDIR\images"
    keep_data:
  ${EndIf}
  RMDir "$INSTDIR"
SectionEnd
