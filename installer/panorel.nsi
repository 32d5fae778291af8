; The Windows installer of Panorel QV: installs the program, its library, the uninstall check
; helper and the tips; registers the folder verb and the uninstall entry; runs the library's
; set-up after installing. The uninstaller asks tovrex (and so the library) whether it may go on.
; Built by CMake's "installer" target: makensis -DBIN=<folder of the built files> -DOUTFILE=<exe>
Unicode true
Target amd64-unicode
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"

!ifndef BIN
  !error "BIN must name the folder of the built files"
!endif
!ifndef OUTFILE
  !define OUTFILE "panorel-setup.exe"
!endif

!define PRODUCT "Panorel QV"
!define COMPANY "Corvane"
!define VERSION "6.6"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define PRODUCT_KEY "Software\${COMPANY}\${PRODUCT}"
!define KEEP_KEY "Software\${COMPANY} ${PRODUCT} kept settings"
!define VERB "Open with Panorel"
!define MAIN_CLASS "PanorelMainFrame"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${COMPANY}\${PRODUCT}"
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
VIProductVersion "6.6.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "LegalCopyright" "Copyright ${COMPANY}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The folder verb, with the same command text as the library's own registration, so the
; Options sheet sees it as set.
!macro WriteVerb TYPE
  WriteRegStr HKCU "Software\Classes\${TYPE}\shell\${VERB}\command" "" '"$INSTDIR\panorel.exe" /path,"%L"'
!macroend

; Clears $0 unless the path is a file (a folder of that name is no file).
!macro CheckWritten PATH
  ${IfNot} ${FileExists} "${PATH}"
  ${OrIf} ${FileExists} "${PATH}\*.*"
    StrCpy $0 0
  ${EndIf}
!macroend

Section "Install"
  SetShellVarContext current
  ; A running copy is asked to close first, by the library that is about to be installed.
  InitPluginsDir
  SetOutPath "$PLUGINSDIR"
  File "${BIN}\panorel32.dll"
  System::Call '"$PLUGINSDIR\panorel32.dll"::CanReinstall(p 0) i .r0 ? u'

  ClearErrors
  SetOutPath "$INSTDIR"
  File "${BIN}\panorel.exe"
  File "${BIN}\panorel32.dll"
  File "${BIN}\tovrex.exe"
  File "${BIN}\panorel.tod"
  ; A target that cannot be written may not raise the error flag: look at the files themselves.
  StrCpy $0 1
  !insertmacro CheckWritten "$INSTDIR\panorel.exe"
  !insertmacro CheckWritten "$INSTDIR\panorel32.dll"
  !insertmacro CheckWritten "$INSTDIR\tovrex.exe"
  !insertmacro CheckWritten "$INSTDIR\panorel.tod"
  ${If} ${Errors}
  ${OrIf} $0 = 0
    MessageBox MB_ICONSTOP "Setup could not write the program's files to $INSTDIR." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
  ${OrIfNot} ${FileExists} "$INSTDIR\uninstall.exe"
    MessageBox MB_ICONSTOP "Setup could not write the uninstaller to $INSTDIR." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}

  !insertmacro WriteVerb "Drive"
  !insertmacro WriteVerb "Directory"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" '"$INSTDIR\panorel.exe",0'
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1

  ; The library's own set-up: the previous release's settings, on a first install.
  System::Call '"$INSTDIR\panorel32.dll"::PostInstall(p $HWNDPARENT) i .r0 ? u'
SectionEnd

Var removeSettings

Function un.onInit
  StrCpy $removeSettings 0
  ; /REMOVESETTINGS on the command line, or the user's Yes, removes the settings as well.
  ${GetParameters} $0
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    StrCpy $removeSettings 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  ; Never remove files from under a running program.
  FindWindow $0 "${MAIN_CLASS}"
  ${If} $0 <> 0
    MessageBox MB_ICONSTOP "${PRODUCT} is running. Close it, then run the uninstaller again." /SD IDOK
    SetErrorLevel 3
    Abort
  ${EndIf}
  ${IfNot} ${Silent}
  ${AndIf} $removeSettings = 0
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Remove your ${PRODUCT} settings as well (window positions, panels, histories, favourites)?" IDNO keep
    StrCpy $removeSettings 1
    keep:
  ${EndIf}

  ; The uninstall check removes the settings; unless asked to, they are kept aside and put back.
  ${If} $removeSettings = 0
    DeleteRegKey HKCU "${KEEP_KEY}"
    nsExec::Exec '"$SYSDIR\reg.exe" copy "HKCU\${PRODUCT_KEY}" "HKCU\${KEEP_KEY}" /s /f'
    Pop $1
  ${EndIf}

  ${If} ${FileExists} "$INSTDIR\tovrex.exe"
    ExecWait '"$INSTDIR\tovrex.exe" panorel32' $0
    ${If} $0 = 0
      ${If} $removeSettings = 0
        DeleteRegKey HKCU "${KEEP_KEY}"
      ${EndIf}
      MessageBox MB_ICONSTOP "${PRODUCT} cannot be removed now: its folder command could not be removed." /SD IDOK
      SetErrorLevel 4
      Abort
    ${EndIf}
  ${Else}
    ; The files were deleted by hand: remove what the helper would have.
    DeleteRegKey HKCU "Software\Classes\Drive\shell\${VERB}"
    DeleteRegKey HKCU "Software\Classes\Directory\shell\${VERB}"
    ${If} $removeSettings = 1
      DeleteRegKey HKCU "${PRODUCT_KEY}"
      DeleteRegKey /ifempty HKCU "Software\${COMPANY}"
    ${EndIf}
  ${EndIf}

  ${If} $removeSettings = 0
    nsExec::Exec '"$SYSDIR\reg.exe" copy "HKCU\${KEEP_KEY}" "HKCU\${PRODUCT_KEY}" /s /f'
    Pop $1
    DeleteRegKey HKCU "${KEEP_KEY}"
  ${EndIf}

  Delete "$INSTDIR\panorel.exe"
  Delete "$INSTDIR\panorel32.dll"
  Delete "$INSTDIR\tovrex.exe"
  Delete "$INSTDIR\panorel.tod"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES64\${COMPANY}"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
