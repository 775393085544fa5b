; Windows installer for DynDNS Velloq Client, built on Linux with makensis.
; makensis -DPRODUCT=<name> -DVERSION=<x.y.z.w> -DEXE=<DynDNSVelloqClient.exe> -DOUTFILE=<setup.exe> velloq.nsi
; Silent use: setup.exe /S [/AUTOSTART] [/SERVICE] [presets, below]   uninstall: Uninstall.exe /S [/REMOVESETTINGS]
; (deployment tools: Uninstall.exe /S _?=<folder>, which waits and gives the exit code)
; The build also passes the settings' limits (-DPAUSE_MIN=... ) and, to sign,
; -DSIGN_SCRIPT=<scripts/sign.sh> -DSIGN_PFX=<key.pfx>.

; A 64-bit installer for the 64-bit program (and Wine without 32-bit support).
Target amd64-unicode
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "WinCore.nsh"

!ifndef VERSION
  !error "VERSION is not defined: pass -DVERSION=x.y.z.w (the build passes the project's version)"
!endif

!ifndef PRODUCT
  !error "PRODUCT is not defined: pass -DPRODUCT=<name> (the build passes the product's name)"
!endif
!ifndef SERVICE_NAME | SERVICE_DISPLAY_NAME
  !error "pass -DSERVICE_NAME=<name> -DSERVICE_DISPLAY_NAME=<name> (the build derives them from the product's name)"
!endif
!define PROGRAM "DynDNSVelloqClient.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\DynDNSVelloqClient"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The program writes and checks this value itself ("Run with OS").
!define RUN_VALUE "DynDNS Client"
!define VENDOR_KEY "SOFTWARE\Orvenna"
!define SETTINGS_KEY "${VENDOR_KEY}\Orvenna DynDNS Client"
; SYSTEM and Administrators keep full control, Users may read and write.
!define SETTINGS_SDDL "D:AI(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;CI;KRKW;;;BU)"
; With the service, LocalService (its account) is named too, so it may record
; the last sync whatever becomes of the Users entry.
!define SETTINGS_SDDL_SERVICE "D:AI(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;CI;KRKW;;;BU)(A;CI;KRKW;;;LS)"
; What the service publishes: only it, SYSTEM and Administrators write, Users read.
!define STATE_KEY "${VENDOR_KEY}\Orvenna DynDNS Client Service"
!define STATE_SDDL "D:AI(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;CI;KA;;;LS)(A;CI;KR;;;BU)"
; The service: SYSTEM and Administrators control it; logged-on (interactive)
; users may query it and send it the user-defined codes 128-255 (CR), not
; stop, start or change it.
!define SERVICE_SDDL "D:(A;;CCLCSWRPWPDTLOCRRC;;;SY)(A;;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;BA)(A;;CCLCSWLOCRRC;;;IU)"
!define EVENTLOG_KEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\${PRODUCT}"
; HKEY_LOCAL_MACHINE as a 64-bit handle, sign-extended as in the Windows headers
!define HKLM_HANDLE 0xFFFFFFFF80000002
!define KEY_WOW64_64KEY 0x0100
!define /math SETTINGS_ACCESS ${WRITE_DAC} | ${KEY_WOW64_64KEY}
!define DACL_SECURITY_INFORMATION 4
!define SDDL_REVISION_1 1

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; The same program gives the same installer: no file times are stored.
SetDateSave off
; With a key, the uninstaller is signed before it is packed, and the
; installer once it is written.
!ifdef SIGN_SCRIPT
  !uninstfinalize '"${SIGN_SCRIPT}" "${SIGN_PFX}" "%1"' = 0
  !finalize '"${SIGN_SCRIPT}" "${SIGN_PFX}" "%1"' = 0
!endif
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "The Velloq developers"

!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetRegView 64
  SetShellVarContext all
  ; A silent install takes the autostart choice from the command line.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART" $1
  ${IfNot} ${Errors}
    SectionSetFlags 1 ${SF_SELECTED}
  ${EndIf}
  ; The service component: asked for, or kept because it exists.
  ClearErrors
  ${GetOptions} $0 "/SERVICE" $1
  StrCpy $2 0
  ${IfNot} ${Errors}
    StrCpy $2 1
  ${EndIf}
  Call ServiceExists
  ${If} $0 = 1
  ${OrIf} $2 = 1
    SectionSetFlags 2 ${SF_SELECTED}
  ${EndIf}
  Call CheckPresets
FunctionEnd

; An upgrade or uninstall while the program runs: ask each running copy to
; close, as File > Exit does, and give it up to 5 s to handle that and 5 s
; more for its process to end, so that its file is free.
!macro CLOSE_RUNNING_COPIES un
Function ${un}CloseRunningCopies
  ${For} $R3 1 5
    FindWindow $R0 "${PRODUCT}" "${PRODUCT}"
    ${IfThen} $R0 = 0 ${|} ${ExitFor} ${|}
    System::Call 'user32::GetWindowThreadProcessId(p R0, *i .R1)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i R1) p .R2'
    SendMessage $R0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $R2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p R2, i 5000)'
      System::Call 'kernel32::CloseHandle(p R2)'
    ${Else}
      Sleep 1000  ; its process is not ours to watch: give it a moment
    ${EndIf}
  ${Next}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPIES ""
!insertmacro CLOSE_RUNNING_COPIES "un."

!define SC_MANAGER_CONNECT 1
!define SC_MANAGER_ALL_ACCESS 0xF003F
!define SERVICE_ALL_ACCESS 0xF01FF
!define SERVICE_QUERY_STATUS 4
!define SERVICE_START 0x10
!define SERVICE_STOP 0x20
!define SERVICE_DELETE 0x10000
!define SERVICE_WIN32_OWN_PROCESS 0x10
!define SERVICE_AUTO_START 2
!define SERVICE_ERROR_NORMAL 1
!define SERVICE_CONTROL_STOP 1
!define SERVICE_STOPPED 1
!define LOCAL_SERVICE "NT AUTHORITY\LocalService"

; $R1 := our service opened with access $R0, or 0 when it does not exist.
!macro SERVICE_FUNCTIONS un
Function ${un}OpenOurService
  StrCpy $R1 0
  System::Call 'advapi32::OpenSCManagerW(p 0, p 0, i ${SC_MANAGER_CONNECT}) p .R2'
  ${If} $R2 P<> 0
    System::Call 'advapi32::OpenServiceW(p R2, w "${SERVICE_NAME}", i R0) p .R1'
    System::Call 'advapi32::CloseServiceHandle(p R2)'
  ${EndIf}
FunctionEnd

; Stops the service and waits (up to 10 s) until its process has ended, so
; that the program file is free.
Function ${un}StopService
  IntOp $R0 ${SERVICE_STOP} | ${SERVICE_QUERY_STATUS}
  Call ${un}OpenOurService
  ${IfThen} $R1 P= 0 ${|} Return ${|}
  ; SERVICE_STATUS_PROCESS: its state is the second number, its process the eighth.
  System::Call '*(i,i,i,i,i,i,i,i,i) p .R3'
  System::Call 'advapi32::QueryServiceStatusEx(p R1, i 0, p R3, i 36, *i .R4) i .R4'
  System::Call '*$R3(i, i .R5, i, i, i, i, i, i .R6, i)'
  StrCpy $R7 0
  ${If} $R5 <> ${SERVICE_STOPPED}
  ${AndIf} $R6 <> 0
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i R6) p .R7'
  ${EndIf}
  System::Call 'advapi32::ControlService(p R1, i ${SERVICE_CONTROL_STOP}, p R3) i'
  ${If} $R7 P<> 0
    System::Call 'kernel32::WaitForSingleObject(p R7, i 10000)'
    System::Call 'kernel32::CloseHandle(p R7)'
  ${EndIf}
  System::Free $R3
  System::Call 'advapi32::CloseServiceHandle(p R1)'
FunctionEnd

Function ${un}StartServiceIfPresent
  StrCpy $R0 ${SERVICE_START}
  Call ${un}OpenOurService
  ${If} $R1 P<> 0
    System::Call 'advapi32::StartServiceW(p R1, i 0, p 0) i'
    System::Call 'advapi32::CloseServiceHandle(p R1)'
  ${EndIf}
FunctionEnd
!macroend
!insertmacro SERVICE_FUNCTIONS ""
!insertmacro SERVICE_FUNCTIONS "un."

; $0 := 1 when the service exists, else 0.
Function ServiceExists
  StrCpy $R0 ${SERVICE_QUERY_STATUS}
  Call OpenOurService
  StrCpy $0 0
  ${If} $R1 P<> 0
    StrCpy $0 1
    System::Call 'advapi32::CloseServiceHandle(p R1)'
  ${EndIf}
FunctionEnd



; The 64-bit program gets no registry virtualisation, so a standard user
; could not save settings under HKLM. Open this one key (and what it will
; hold) to Users; an existing key keeps its values. The Run key stays as
; it is: only administrators may make the program start for everyone.
Function OpenSettingsToUsers
  StrCpy $3 "${SETTINGS_SDDL}"
  StrCpy $4 "${SETTINGS_KEY}"
  Call SetKeyAccess
FunctionEnd

; The key $4 (created if missing) gets the access list $3.
Function SetKeyAccess
  System::Call 'advapi32::RegCreateKeyExW(p ${HKLM_HANDLE}, w r4, i 0, p 0, i 0, \
                i ${SETTINGS_ACCESS}, p 0, *p .r1, p 0) i .r0'
  ${If} $0 <> 0
    DetailPrint "Cannot create the key $4 (error $0)"
    Return
  ${EndIf}
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w r3, \
                i ${SDDL_REVISION_1}, *p .r2, p 0) i .r0'
  ${If} $0 <> 0
    System::Call 'advapi32::RegSetKeySecurity(p r1, i ${DACL_SECURITY_INFORMATION}, p r2) i .r0'
    System::Call 'kernel32::LocalFree(p r2)'
  ${Else}
    StrCpy $0 "bad security descriptor"
  ${EndIf}
  System::Call 'advapi32::RegCloseKey(p r1)'
  ${If} $0 != 0
    DetailPrint "The access list of $4 was not set ($0)"
  ${EndIf}
FunctionEnd

; Secure Connect is on after a fresh install, one with no settings key
; before it ran. An upgrade or a reinstall over kept settings keeps what it
; has (often no CheckUseSSL value: the program writes it only when toggled).
Var FreshSettings
Function NoteFreshSettings
  ClearErrors
  EnumRegKey $0 HKLM "${SETTINGS_KEY}" 0
  ${IfThen} ${Errors} ${|} StrCpy $FreshSettings 1 ${|}
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO
  Call NoteFreshSettings
  ; The running-copy check looks for windows; the service has none.
  Call StopService
  Call CloseRunningCopies
  SetOutPath "$INSTDIR"
  ; A silent install would skip a file it cannot replace and still report
  ; success; say it failed instead.
  ClearErrors
  File "/oname=${PROGRAM}" "${EXE}"
  ${If} ${Errors}
  ${AndIf} ${Silent}
    SetErrorLevel 2
    Abort "Cannot replace $INSTDIR\${PROGRAM}: is it still running?"
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Velloq developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  Call OpenSettingsToUsers
  ${IfThen} $FreshSettings == 1 ${|} WriteRegStr HKLM "${SETTINGS_KEY}" "CheckUseSSL" "true" ${|}
SectionEnd

; The same text the program writes for "Run with OS", so its menu item
; shows checked: the program's path, in quotes when it holds a blank (else
; Windows splits it there), then the two switches. Into $0.
Function AutostartCommand
  StrCpy $0 "$INSTDIR\${PROGRAM}"
  StrCpy $1 0
  ${Do}
    StrCpy $2 $0 1 $1
    ${If} $2 == " "
      StrCpy $0 '"$0"'
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
  ${LoopUntil} $2 == ""
  StrCpy $0 "$0 -min -auto"
FunctionEnd

Section /o "Start with Windows" SecAutostart
  Call AutostartCommand
  WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" $0
SectionEnd

; The cycle as a service from boot, with nobody logged on (LocalService, own
; process, automatic start, the program's path quoted). The tray program
; then becomes its face. Started in .onInstSuccess, after the presets.
Section /o "Keep names current without logon" SecService
  System::Call 'advapi32::OpenSCManagerW(p 0, p 0, i ${SC_MANAGER_ALL_ACCESS}) p .r5'
  ${If} $5 P= 0
    DetailPrint "Cannot reach the service manager"
    Return
  ${EndIf}
  StrCpy $6 '"$INSTDIR\${PROGRAM}" -service'
  System::Call 'advapi32::OpenServiceW(p r5, w "${SERVICE_NAME}", i ${SERVICE_ALL_ACCESS}) p .r7'
  ${If} $7 P= 0
    System::Call 'advapi32::CreateServiceW(p r5, w "${SERVICE_NAME}", w "${SERVICE_DISPLAY_NAME}", \
                  i ${SERVICE_ALL_ACCESS}, i ${SERVICE_WIN32_OWN_PROCESS}, i ${SERVICE_AUTO_START}, \
                  i ${SERVICE_ERROR_NORMAL}, w r6, p 0, p 0, p 0, w "${LOCAL_SERVICE}", p 0) p .r7'
  ${Else}
    System::Call 'advapi32::ChangeServiceConfigW(p r7, i ${SERVICE_WIN32_OWN_PROCESS}, i ${SERVICE_AUTO_START}, \
                  i ${SERVICE_ERROR_NORMAL}, w r6, p 0, p 0, p 0, w "${LOCAL_SERVICE}", p 0, \
                  w "${SERVICE_DISPLAY_NAME}") i'
  ${EndIf}
  ${If} $7 P= 0
    DetailPrint "Cannot create the service ${SERVICE_NAME}"
  ${Else}
    System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${SERVICE_SDDL}", \
                  i ${SDDL_REVISION_1}, *p .r8, p 0) i .r0'
    ${If} $0 <> 0
      System::Call 'advapi32::SetServiceObjectSecurity(p r7, i ${DACL_SECURITY_INFORMATION}, p r8) i'
      System::Call 'kernel32::LocalFree(p r8)'
    ${EndIf}
    System::Call 'advapi32::CloseServiceHandle(p r7)'
  ${EndIf}
  System::Call 'advapi32::CloseServiceHandle(p r5)'
  StrCpy $3 "${SETTINGS_SDDL_SERVICE}"
  StrCpy $4 "${SETTINGS_KEY}"
  Call SetKeyAccess
  StrCpy $3 "${STATE_SDDL}"
  StrCpy $4 "${STATE_KEY}"
  Call SetKeyAccess
  ; The event source, with the program's message table.
  WriteRegExpandStr HKLM "${EVENTLOG_KEY}" "EventMessageFile" "$INSTDIR\${PROGRAM}"
  WriteRegDWORD HKLM "${EVENTLOG_KEY}" "TypesSupported" 7
SectionEnd

; Earlier versions wrote the value without quotes: rewrite ours on upgrade.
Section "-Quote the autostart value"
  ReadRegStr $3 HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $3 == "$INSTDIR\${PROGRAM} -min -auto"
    Call AutostartCommand
    WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" $0
  ${EndIf}
SectionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    SectionSetFlags 1 ${SF_SELECTED}
  ${EndIf}
FunctionEnd

Section "un.${PRODUCT}" UnSecProgram
  SectionIn RO
  ; The service runs the program file too; it has no window to close.
  Call un.StopService
  Call un.CloseRunningCopies
  ; A copy the search above cannot find (one in another user's logon
  ; session) keeps its file: then nothing is removed, the uninstall entry
  ; stays for another try, and the exit code is 2, as the installer's.
  ClearErrors
  Delete "$INSTDIR\${PROGRAM}"
  ${If} ${Errors}
    SetErrorLevel 2
    Call un.StartServiceIfPresent
    MessageBox MB_OK|MB_ICONSTOP "Cannot remove $INSTDIR\${PROGRAM}: a copy of it still runs, \
      perhaps for another user. Close it (File > Exit) and uninstall again.$\r$\n$\r$\nNothing was removed." /SD IDOK
    Abort "Cannot remove $INSTDIR\${PROGRAM}: nothing was removed."
  ${EndIf}
  StrCpy $R0 ${SERVICE_DELETE}
  Call un.OpenOurService
  ${If} $R1 P<> 0
    System::Call 'advapi32::DeleteService(p R1) i'
    System::Call 'advapi32::CloseServiceHandle(p R1)'
  ${EndIf}
  DeleteRegKey HKLM "${EVENTLOG_KEY}"
  DeleteRegKey HKLM "${STATE_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Off unless asked: the account, host names and last sync stay for a
; reinstall.
Section /o "un.Remove my settings" UnSecSettings
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  ; The vendor's key held only ours, unless another of its programs uses it.
  DeleteRegKey /ifempty HKLM "${VENDOR_KEY}"
SectionEnd

; ---------------------------------------------------------------- presets
; Settings an administrator presets for a deployment, none of them secret:
;   /CHECKIP=host[/path] /DYNDNS=host /PAUSE=minutes /TIMEOUT=ms /BALLOON=true|false
;   /SECURE=0|1 /CHECKLASTIP=0|1 /SECURECHECKIP=0|1 /IPV6=0|1 /CHECKIP6=host[/path]
; Each is checked in .onInit against the program's own limits, before a
; running copy is asked to close; one that fails changes nothing and ends
; the installer with exit code 3. So does any word on the command line that
; is not a known switch (KNOWN_SWITCHES, below), and a switch given twice: a
; deployment's typo must not install defaults and report success. A value
; is taken whole and stored as given, so that the program's first start
; keeps it: numbers are plain digits without a leading zero, host fields
; hold host characters and fit the program's field.
; The preset functions work in $R0-$R9 only.
!ifndef HOST_CHARACTERS
  !error "The settings' limits are not defined: the build passes them (SETTING_LIMITS in CMakeLists.txt)"
!endif
!define PRESET_REFUSED 3
!define /math HOST_MAX ${HOST_CAPACITY} - 1
Var PresetLine
Var PresetRefused
Var PresetWrite   ; 0 while checking, 1 once the files are in place
Var SwitchToken   ; the command-line word being taken, quotes dropped
Var SwitchKnown   ; 0 not a known switch (yet), 1 known, 2 known but given before
Var SwitchesSeen  ; the switches taken so far, each between line feeds
Var LineAt
Var LineQuoted
Var TokenStarted

; $R2 := 1 when every character of $R0 is one of $R1 (case counts), else 0.
Function OnlyFrom
  StrCpy $R2 1
  StrLen $R3 $R0
  IntOp $R3 $R3 - 1
  ${For} $R4 0 $R3
    StrCpy $R5 $R0 1 $R4
    StrLen $R6 $R1
    ${Do}
      IntOp $R6 $R6 - 1
      ${IfThen} $R6 < 0 ${|} ${ExitDo} ${|}
      StrCpy $R7 $R1 1 $R6
      ${IfThen} $R5 S== $R7 ${|} ${ExitDo} ${|}
    ${Loop}
    ${If} $R6 < 0
      StrCpy $R2 0
      ${ExitFor}
    ${EndIf}
  ${Next}
FunctionEnd

; Each check takes a preset's value in $R0 and leaves the text to store in
; $R9, or "" when the value fails.
Function PresetHost
  StrCpy $R9 ""
  StrLen $R8 $R0
  ${IfThen} $R8 > ${HOST_MAX} ${|} Return ${|}
  StrCpy $R1 "${HOST_CHARACTERS}"
  Call OnlyFrom
  ${IfThen} $R2 = 1 ${|} StrCpy $R9 $R0 ${|}
FunctionEnd

; The Check IP and Check IPv6 fields: a host, then perhaps a path from its first "/" on,
; written with path characters; the whole within the field.
Function PresetHostPath
  StrCpy $R9 ""
  StrLen $R8 $R0
  ${IfThen} $R8 > ${HOST_MAX} ${|} Return ${|}
  ; $R3: where the first "/" is, or the length
  StrCpy $R3 0
  ${Do}
    StrCpy $R5 $R0 1 $R3
    ${IfThen} $R5 == "" ${|} ${ExitDo} ${|}
    ${IfThen} $R5 == "/" ${|} ${ExitDo} ${|}
    IntOp $R3 $R3 + 1
  ${Loop}
  ${IfThen} $R3 = 0 ${|} Return ${|}
  Push $R0
  StrCpy $R6 $R0 "" $R3
  StrCpy $R0 $R0 $R3
  Push $R6
  StrCpy $R1 "${HOST_CHARACTERS}"
  Call OnlyFrom
  Pop $R0
  ${If} $R2 = 1
    StrCpy $R1 "${PATH_CHARACTERS}"
    Call OnlyFrom
  ${EndIf}
  Pop $R0
  ${IfThen} $R2 = 1 ${|} StrCpy $R9 $R0 ${|}
FunctionEnd

; Between $R7 and $R8; at most nine digits, so the comparison cannot wrap,
; and no leading zero, which NSIS would read as octal.
Function PresetNumber
  StrCpy $R9 ""
  StrLen $R3 $R0
  StrCpy $R4 $R0 1
  ${IfThen} $R3 > 9 ${|} Return ${|}
  ${IfThen} $R4 == "0" ${|} Return ${|}
  Push $R7
  StrCpy $R1 "0123456789"
  Call OnlyFrom
  Pop $R7
  ${If} $R2 = 1
  ${AndIf} $R0 >= $R7
  ${AndIf} $R0 <= $R8
    StrCpy $R9 $R0
  ${EndIf}
FunctionEnd

Function PresetWord
  StrCpy $R9 ""
  ${If} $R0 S== "${SWITCH_ON}"
  ${OrIf} $R0 S== "${SWITCH_OFF}"
    StrCpy $R9 $R0
  ${EndIf}
FunctionEnd

; The File menu's options, stored as the program stores them.
Function PresetFlag
  StrCpy $R9 ""
  ${IfThen} $R0 S== "0" ${|} StrCpy $R9 "${SWITCH_OFF}" ${|}
  ${IfThen} $R0 S== "1" ${|} StrCpy $R9 "${SWITCH_ON}" ${|}
FunctionEnd

; Every switch the installer takes, in one place; add a new one here.
;   SWITCH <name> <comparison>   the word /<name> on its own (S== where only
;                                capitals count, as for NSIS's own switches)
;   PRESET <name> <value> <check> <low> <high>
;                                /<name>=<text>, checked by Preset<check>
;                                and stored as the settings value <value>
; /D=<folder> is NSIS's own as well: it must come last, and NSIS takes it
; off the command line before this list sees it.
!macro KNOWN_SWITCHES
  !insertmacro SWITCH S S==
  !insertmacro SWITCH NCRC S==
  !insertmacro SWITCH AUTOSTART ==
  !insertmacro SWITCH SERVICE ==
  !insertmacro PRESET CHECKIP DomainCheckIP HostPath 0 0
  !insertmacro PRESET DYNDNS DomainDynDNS Host 0 0
  !insertmacro PRESET PAUSE CLOOP Number ${PAUSE_MIN} ${PAUSE_MAX}
  !insertmacro PRESET TIMEOUT TOUT Number ${TIMEOUT_MIN} ${TIMEOUT_MAX}
  !insertmacro PRESET BALLOON DEBUG Word 0 0
  !insertmacro PRESET SECURE CheckUseSSL Flag 0 0
  !insertmacro PRESET CHECKLASTIP CheckLastIP Flag 0 0
  !insertmacro PRESET SECURECHECKIP SecureCheckIP Flag 0 0
  !insertmacro PRESET IPV6 UseIPv6 Flag 0 0
  !insertmacro PRESET CHECKIP6 DomainCheckIP6 HostPath 0 0
!macroend

; $SwitchKnown := 1 for the switch in $R2 the first time, 2 when it came
; before (letters compared without regard to case).
Function NoteSwitch
  StrCpy $R2 "$\n$R2$\n"
  StrLen $R3 $R2
  StrCpy $SwitchKnown 1
  StrCpy $R1 0
  ${Do}
    StrCpy $R4 $SwitchesSeen $R3 $R1
    ${IfThen} $R4 == "" ${|} ${ExitDo} ${|}
    ${If} $R4 == $R2
      StrCpy $SwitchKnown 2
      ${ExitDo}
    ${EndIf}
    IntOp $R1 $R1 + 1
  ${Loop}
  ${IfThen} $SwitchKnown = 1 ${|} StrCpy $SwitchesSeen "$SwitchesSeen$R2" ${|}
FunctionEnd

!macro SWITCH NAME COMPARISON
  ${If} $SwitchKnown = 0
  ${AndIf} $SwitchToken ${COMPARISON} "/${NAME}"
    StrCpy $R2 "/${NAME}"
    Call NoteSwitch
  ${EndIf}
!macroend

!macro PRESET SWITCH VALUE CHECK LOW HIGH
  StrLen $R1 "/${SWITCH}="
  StrCpy $R0 $SwitchToken $R1
  ${If} $SwitchKnown = 0
  ${AndIf} $R0 == "/${SWITCH}="
    StrCpy $R2 $R0
    Call NoteSwitch
    ${If} $SwitchKnown = 1
      StrLen $R1 "/${SWITCH}="
      StrCpy $R0 $SwitchToken "" $R1
      StrCpy $R7 ${LOW}
      StrCpy $R8 ${HIGH}
      Call Preset${CHECK}
      ${If} $R9 == ""
        StrCpy $SwitchKnown 3  ; refused below, as typed
      ${ElseIf} $PresetWrite = 1
        WriteRegStr HKLM "${SETTINGS_KEY}" "${VALUE}" $R9
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

; One word of the command line, in $SwitchToken.
Function TakeSwitch
  StrCpy $SwitchKnown 0
  !insertmacro KNOWN_SWITCHES
  ${IfThen} $SwitchKnown <> 1 ${|} StrCpy $PresetRefused "$PresetRefused$\r$\n$SwitchToken" ${|}
  StrCpy $SwitchToken ""
  StrCpy $TokenStarted 0
FunctionEnd

; Splits the command line into words as Windows programs do (blanks
; separate, double quotes group and are dropped), so that a value is taken
; whole, and takes each word.
Function Presets
  ${GetParameters} $PresetLine
  StrCpy $PresetRefused ""
  StrCpy $SwitchesSeen "$\n"
  StrCpy $SwitchToken ""
  StrCpy $TokenStarted 0
  StrCpy $LineQuoted 0
  StrCpy $LineAt 0
  ${Do}
    StrCpy $R0 $PresetLine 1 $LineAt
    IntOp $LineAt $LineAt + 1
    ${IfThen} $R0 == "$\t" ${|} StrCpy $R0 " " ${|}
    ${If} $R0 == ""
      ${IfThen} $TokenStarted = 1 ${|} Call TakeSwitch ${|}
      ${ExitDo}
    ${ElseIf} $R0 == '"'
      IntOp $LineQuoted 1 - $LineQuoted
      StrCpy $TokenStarted 1
    ${ElseIf} $R0 == " "
    ${AndIf} $LineQuoted = 0
      ${IfThen} $TokenStarted = 1 ${|} Call TakeSwitch ${|}
    ${Else}
      StrCpy $SwitchToken "$SwitchToken$R0"
      StrCpy $TokenStarted 1
    ${EndIf}
  ${Loop}
FunctionEnd

Function CheckPresets
  StrCpy $PresetWrite 0
  Call Presets
  ${If} $PresetRefused != ""
    ${IfNot} ${Silent}
      MessageBox MB_OK|MB_ICONSTOP "These settings cannot be preset:$PresetRefused$\r$\n$\r$\n\
        Pause: ${PAUSE_MIN} to ${PAUSE_MAX} minutes. Time-out: ${TIMEOUT_MIN} to ${TIMEOUT_MAX} ms \
        (digits, no leading zero). Balloon: ${SWITCH_ON} or ${SWITCH_OFF}. Secure, Check Last IP, \
        Secure Check IP and IPv6: 0 or 1. Hosts: letters, digits, - and ., at most ${HOST_MAX} characters; \
        Check IP and Check IPv6 may add a path: /, then letters, digits and . _ ~ / -.$\r$\n$\r$\nNothing was changed."
    ${EndIf}
    SetErrorLevel ${PRESET_REFUSED}
    Quit
  ${EndIf}
FunctionEnd

; The checked presets go into the settings key after everything else the
; install writes there, in the last section: before the Finish page can
; start the program, which would read the settings and write them back.
Section "-Presets"
  StrCpy $PresetWrite 1
  Call Presets
  ; The service reads the settings once it starts: presets first.
  Call StartServiceIfPresent
SectionEnd
