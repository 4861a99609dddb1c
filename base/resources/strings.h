#pragma once
// The string table: every user-visible text of Songdock, looked up by the
// identifier of the original resources. Texts without a numbered resource
// have a symbolic name (text::...).
#include <string>

// Marks an English text for the message catalogue where it is defined; the
// text is translated where it is used (strings::Tr).
#define SD_TEXT(text) text

namespace strings {

// A translation of an English text of the windows, or null to keep it.
using Translator = const char* (*)(const char* english);
// Installed by the windowed program; the console programs keep English.
void SetTranslator(Translator translator);
// The text in the person's language (the English text without a
// translation). The result lives as long as the program.
const char* Tr(const char* english);

// The text of a numbered string, translated, or nullptr when the table has no such id.
const char* Load(int id);
// The text of a numbered string, or "" when the table has no such id.
std::string Text(int id);
// The English text of a numbered string, untranslated (for output that
// scripts read), or "" when the table has no such id.
std::string English(int id);

} // namespace strings

// Numbered strings.
namespace sid {
constexpr int kAppTitle = 128;
constexpr int kTipUploadInternal = 2000;
constexpr int kTipUploadExternal = 2001;
constexpr int kTipDownloadInternal = 2002;
constexpr int kTipDownloadExternal = 2003;
constexpr int kColName = 3000;
constexpr int kColSize = 3001;
constexpr int kColType = 3002;
constexpr int kColDate = 3003;
constexpr int kInternalMemory = 3004;
constexpr int kExternalMemory = 3005;
constexpr int kMemoryTotals = 3006;
constexpr int kNotConnected = 3007;
constexpr int kConfirmDelete = 3008;
constexpr int kMp3Files = 3009;
constexpr int kAllFiles = 3010;
constexpr int kColNumber = 3011;
constexpr int kFormat = 3012;
constexpr int kCodecUpgrade = 3013;
constexpr int kHexFilter = 3014;
constexpr int kBootUpgrade = 3015;
constexpr int kFontFilter = 3018;
constexpr int kFontDownloadTitle = 3019;
constexpr int kLowLevelFormat = 3020;
constexpr int kPageTimeout = 3100;
constexpr int kPageRom = 3101;
constexpr int kPageAdpcm = 3102;
constexpr int kPageRawData = 3103;
constexpr int kPageQdx = 3104;
constexpr int kFirmwarePaneSize = 3200;
constexpr int kDeleteOne = 4002;
constexpr int kDeleteMany = 4003;
constexpr int kPlayerNotConnected = 4004;
constexpr int kCannotDownloadDirectory = 4005;
constexpr int kOverwrite = 4006;
constexpr int kFormatQuestion = 4007;
constexpr int kUnplug = 4008;
constexpr int kRestart = 4009;
constexpr int kRawDataNotSpecified = 4010;
constexpr int kRawDataRangeExceeded = 4011;
} // namespace sid

// Texts that have no numbered resource of their own.
namespace text {
inline constexpr const char* kUnknownFirmware = SD_TEXT("Unknown Firmware Version");
inline constexpr const char* kDesktopExplorer = SD_TEXT("Desktop Explorer");
// Tool tip of the desktop view's button to the parent folder.
inline constexpr const char* kUpOneLevel = SD_TEXT("Up One Level (Backspace)");
inline constexpr const char* kPlayerExplorer = SD_TEXT("Mp3Player Explorer");
inline constexpr const char* kMemoryViewer = SD_TEXT("Mp3 Memory Viewer");
inline constexpr const char* kDriveLabel = SD_TEXT("Drive (?:)");
inline constexpr const char* kWindowsNetwork = SD_TEXT("Microsoft Windows Network");
inline constexpr const char* kMp3Filter = "*.mp3";
inline constexpr const char* kAllFilter = "*.*";
inline constexpr const char* kSizeUnitKB = SD_TEXT("KB");
inline constexpr const char* kSizeUnitMB = SD_TEXT("MB");

// About box.
inline constexpr const char* kAboutVersion = SD_TEXT("Songdock Version 1.93");
inline constexpr const char* kAboutNotice = SD_TEXT("Copyright (C) Zentrovia. All rights reserved.");
inline constexpr const char* kAboutOk = "확인";

// Configuration dialog and its pages.
inline constexpr const char* kConfiguration = SD_TEXT("Configuration");
inline constexpr const char* kReceiveTimeout = SD_TEXT("Receiving Timeout [ms] :");
inline constexpr const char* kSendTimeout = SD_TEXT("Transmission Timeout [ms] :");
inline constexpr const char* kFormatTimeout = SD_TEXT("Formating Timeout [ms] :");
inline constexpr const char* kRomMds = SD_TEXT("ROM writing in MDS");
inline constexpr const char* kRomStandAlone = SD_TEXT("ROM writing in stand-alone mode");
inline constexpr const char* kConvertToWav = SD_TEXT("Convert to WAV");
inline constexpr const char* kBinaryQka = SD_TEXT("Download Binary Zentrovia ADPCM (QKA)");
inline constexpr const char* kBinaryQdx = SD_TEXT("Download Binary Zentrovia QDX");
inline constexpr const char* kRawFileName = SD_TEXT("File Name to Save :");
inline constexpr const char* kRawViewer = SD_TEXT("Viewer Link :");
inline constexpr const char* kRawRange = SD_TEXT("Block Address Range :");
inline constexpr const char* kRawAddr = SD_TEXT("Addr :");
inline constexpr const char* kRawCount = SD_TEXT("Count :");
inline constexpr const char* kBrowse = SD_TEXT("Browse >>");
inline constexpr const char* kVerifyCopies = SD_TEXT("Verify files after copying");
inline constexpr const char* kDataFilter = SD_TEXT("Data File(*.dat)\n*.dat\nAll Files(*.*)\n*.*\n\n");
// A memory pane's state while the player's directory cannot be read.
inline constexpr const char* kMemoryUnreadable = SD_TEXT("Memory Cannot Be Read");
inline constexpr const char* kExeFilter = SD_TEXT("Programs you can run\n*\nAll Files(*.*)\n*.*\n\n");

// Font information dialog.
inline constexpr const char* kFontInfoTitle = SD_TEXT("KD5200 LCD Font Information");
inline constexpr const char* kFontSize = SD_TEXT("Size :");
inline constexpr const char* kFontFileName = SD_TEXT("File Name :");
inline constexpr const char* kClose = SD_TEXT("Close");

// Delete question, where the files' file system has no trash.
inline constexpr const char* kDeletePermanent =
    SD_TEXT("There is no Trash here: the deletion is permanent and cannot be undone.");

// A question about the player was answered after the player was unplugged,
// plugged in again or changed: the command does nothing.
inline constexpr const char* kPlayerChanged =
    SD_TEXT("The player changed while the question was open; nothing was done.");

// A copied file read back differs from its source (the path follows).
inline constexpr const char* kVerifyFailed =
    SD_TEXT("The copy differs from its source and was removed; the transfer stopped.");

// A PC file whose name the player's code page cannot write: the file, the
// character, its code point and the code page.
inline constexpr const char* kNameNotForPlayer =
    SD_TEXT("%s cannot be stored on the player: its name holds \"%s\" (%s), which player file names "
    "in %s cannot hold. Nothing was written.");
// A PC path the player records that its code page cannot write: the path,
// the character, its code point and the code page.
inline constexpr const char* kPathNotForPlayer =
    SD_TEXT("%s cannot be passed to the player: the path holds \"%s\" (%s), which the player's "
            "code page %s cannot write. Nothing was written.");
// After an upload: player files whose names hold bytes that the code page
// does not read, or a "%" that would read as such a byte (the code page;
// each name and its PC name follow).
inline constexpr const char* kNamesEscaped =
    SD_TEXT("Some file names on the player hold bytes that are not %s text, or a %% followed by "
            "two hexadecimal digits. Each such byte is written in the PC file's name as %%XX, its "
            "value in hexadecimal, and each such %% as %%25, so nothing of the name was lost and "
            "no two files share a name.");
// The choice of the player's code page that follows the person's language.
inline constexpr const char* kPlayerCodePage = SD_TEXT("Player file names :");
inline constexpr const char* kCodePageFromLanguage = SD_TEXT("From the language (%s)");

// A copied file could not be read back to be checked, because of an error
// or because the player was unplugged; its copy was removed or kept (the
// path follows).
inline constexpr const char* kReadBackFailedRemoved = SD_TEXT(
    "The copy could not be read back to be checked; the copy was removed and the transfer stopped.");
inline constexpr const char* kReadBackFailedKept =
    SD_TEXT("The copy could not be read back to be checked; the copy was kept unchecked and the "
            "transfer stopped.");
inline constexpr const char* kReadBackUnpluggedRemoved =
    SD_TEXT("The player was unplugged while the copy was read back to be checked; the copy was "
            "removed and the transfer stopped.");
inline constexpr const char* kReadBackUnpluggedKept =
    SD_TEXT("The player was unplugged while the copy was read back to be checked; the copy was "
            "kept unchecked and the transfer stopped.");
// Another program changed the memory while a file was copied onto it, so
// the copy cannot be told from the other files (the path follows).
inline constexpr const char* kCopyNotIdentified =
    SD_TEXT("Another program changed the player while this file was copied; the copy was kept "
            "unchecked and the transfer stopped.");

// Properties dialog.
inline constexpr const char* kPropertiesTitle = SD_TEXT("MPEG Audio File Properties");
inline constexpr const char* kMpegInformation = SD_TEXT("MPEG Information");
inline constexpr const char* kSizeInfo = SD_TEXT("Size Info");
inline constexpr const char* kVersionInfo = SD_TEXT("Version Info");

// Help file, relative to the current directory.
inline constexpr const char* kHelpFile = "HtmlHelp/Songdock.chm";
} // namespace text
