; Songdock's installer for Windows: Songdock, the console programs with their
; texts and the virtual player, into Program Files, with a Start menu entry
; and an uninstaller listed in Add/Remove Programs. Its pages speak English
; or Korean, following the language of Windows.
; makensis -DVERSION=1.93 -DSTAGE=<folder of the programs> -DICON=<songdock.ico>
;          -DOUTFILE=<setup.exe>
;          [-DWIN64]   (the 64-bit twin that Wine runs where 32-bit cannot)
;          [-DQUICK]
; /S installs silently (/D=C:\Folder chooses the folder, last on the line);
; the uninstaller takes /S as well. The maker's KD5200USB.dll is never
; shipped: a person who has it puts it beside songdock.exe, where the
; virtual player's kd5200usb.dll would be (the installer keeps one found there).

Unicode true
!ifdef WIN64
  Target amd64-unicode
!endif
; -DQUICK packs faster and larger, for tests.
!ifdef QUICK
  SetCompressor zlib
!else
  SetCompressor /SOLID lzma
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!ifdef WIN64
  !include x64.nsh
!endif

!define PRODUCT "Songdock"
!define PUBLISHER "Zentrovia"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Songdock"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
!ifdef WIN64
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\songdock.exe"
!define MUI_FINISHPAGE_RUN_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used when Windows speaks neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Korean"

LangString SecSongdock ${LANG_ENGLISH} "Songdock"
LangString SecSongdock ${LANG_KOREAN} "Songdock"
LangString SecConsole ${LANG_ENGLISH} "Console programs"
LangString SecConsole ${LANG_KOREAN} "콘솔 프로그램"
LangString SecVirtual ${LANG_ENGLISH} "Virtual player"
LangString SecVirtual ${LANG_KOREAN} "가상 플레이어"
LangString DescSongdock ${LANG_ENGLISH} "Songdock, its help and its Korean texts."
LangString DescSongdock ${LANG_KOREAN} "Songdock과 도움말, 한국어 텍스트입니다."
LangString DescConsole ${LANG_ENGLISH} "kdplayer, kdrom, kdmerge, qdx2wav and qka2wav, with their manual pages as text."
LangString DescConsole ${LANG_KOREAN} "kdplayer, kdrom, kdmerge, qdx2wav, qka2wav와 그 설명서(텍스트)입니다."
LangString DescVirtual ${LANG_ENGLISH} "A player on disk, to try Songdock without a KD5200 (kd5200usb.dll and kd5200sim). A KD5200USB.dll already in the folder, the maker's, is kept."
LangString DescVirtual ${LANG_KOREAN} "KD5200 없이 Songdock을 써 볼 수 있는 디스크 위의 플레이어입니다(kd5200usb.dll, kd5200sim). 폴더에 이미 있는 제조사의 KD5200USB.dll은 그대로 둡니다."
LangString KeptMakers ${LANG_ENGLISH} "Kept the KD5200USB.dll found in the folder."
LangString KeptMakers ${LANG_KOREAN} "폴더에 있던 KD5200USB.dll을 그대로 두었습니다."

Section "!$(SecSongdock)" SecSongdock
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}/songdock.exe"
  File "${STAGE}/README-Windows.txt"
  File /nonfatal /r "${STAGE}/HtmlHelp"
  File /nonfatal /r "${STAGE}/locale"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\songdock.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\songdock.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "$(SecConsole)" SecConsole
  SetOutPath "$INSTDIR"
  File "${STAGE}/kdplayer.exe"
  File "${STAGE}/kdrom.exe"
  File "${STAGE}/kdmerge.exe"
  File "${STAGE}/qdx2wav.exe"
  File "${STAGE}/qka2wav.exe"
  SetOutPath "$INSTDIR\doc"
  File "${STAGE}/doc/*.txt"
SectionEnd

Section "$(SecVirtual)" SecVirtual
  SetOutPath "$INSTDIR"
  File "${STAGE}/kd5200sim.exe"
  ; A library there that this installer did not put is the maker's.
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "VirtualPlayer"
  ${If} ${FileExists} "$INSTDIR\kd5200usb.dll"
  ${AndIf} $0 != 1
    DetailPrint "$(KeptMakers)"
  ${Else}
    File "${STAGE}/kd5200usb.dll"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VirtualPlayer" 1
  ${EndIf}
SectionEnd

; The size Add/Remove Programs shows, once everything is in place.
Section "-Size"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSongdock} $(DescSongdock)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecConsole} $(DescConsole)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecVirtual} $(DescVirtual)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
!ifdef WIN64
  SetRegView 64
!endif
FunctionEnd

Function un.onInit
!ifdef WIN64
  SetRegView 64
!endif
FunctionEnd

; Removes what the installer put, and nothing of the person's: the settings
; under HKCU\Software\Zentrovia\Songdock stay, and so does a maker's library.
Section "Uninstall"
  Delete "$INSTDIR\songdock.exe"
  Delete "$INSTDIR\README-Windows.txt"
  Delete "$INSTDIR\kdplayer.exe"
  Delete "$INSTDIR\kdrom.exe"
  Delete "$INSTDIR\kdmerge.exe"
  Delete "$INSTDIR\qdx2wav.exe"
  Delete "$INSTDIR\qka2wav.exe"
  Delete "$INSTDIR\kd5200sim.exe"
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "VirtualPlayer"
  ${If} $0 == 1
    Delete "$INSTDIR\kd5200usb.dll"
  ${EndIf}
  RMDir /r "$INSTDIR\doc"
  RMDir /r "$INSTDIR\HtmlHelp"
  RMDir /r "$INSTDIR\locale"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
