#pragma once
// The string table: every user-visible text of Songdock, looked up by the
// identifier of the original resources. Texts without a numbered resource
// have a symbolic name (text::...).
#include <string>

namespace strings {

// The text of a numbered string, or nullptr when the table has no such id.
const char* Load(int id);
// The text of a numbered string, or "" when the table has no such id.
std::string Text(int id);

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
inline constexpr const char* kUnknownFirmware = "Unknown Firmware Version";
inline constexpr const char* kDesktopExplorer = "Desktop Explorer";
// Tool tip of the desktop view's button to the parent folder.
inline constexpr const char* kUpOneLevel = "Up One Level (Backspace)";
inline constexpr const char* kPlayerExplorer = "Mp3Player Explorer";
inline constexpr const char* kMemoryViewer = "Mp3 Memory Viewer";
inline constexpr const char* kDriveLabel = "Drive (?:)";
inline constexpr const char* kWindowsNetwork = "Microsoft Windows Network";
inline constexpr const char* kMp3Filter = "*.mp3";
inline constexpr const char* kAllFilter = "*.*";
inline constexpr const char* kSizeUnitKB = "KB";
inline constexpr const char* kSizeUnitMB = "MB";

// About box.
inline constexpr const char* kAboutVersion = "Songdock Version 1.93";
inline constexpr const char* kAboutNotice = "Copyright (C) Zentrovia. All rights reserved.";
inline constexpr const char* kAboutOk = "확인";

// Configuration dialog and its pages.
inline constexpr const char* kConfiguration = "Configuration";
inline constexpr const char* kReceiveTimeout = "Receiving Timeout [ms] :";
inline constexpr const char* kSendTimeout = "Transmission Timeout [ms] :";
inline constexpr const char* kFormatTimeout = "Formating Timeout [ms] :";
inline constexpr const char* kRomMds = "ROM writing in MDS";
inline constexpr const char* kRomStandAlone = "ROM writing in stand-alone mode";
inline constexpr const char* kConvertToWav = "Convert to WAV";
inline constexpr const char* kBinaryQka = "Download Binary Zentrovia ADPCM (QKA)";
inline constexpr const char* kBinaryQdx = "Download Binary Zentrovia QDX";
inline constexpr const char* kRawFileName = "File Name to Save :";
inline constexpr const char* kRawViewer = "Viewer Link :";
inline constexpr const char* kRawRange = "Block Address Range :";
inline constexpr const char* kRawAddr = "Addr :";
inline constexpr const char* kRawCount = "Count :";
inline constexpr const char* kBrowse = "Browse >>";
inline constexpr const char* kVerifyCopies = "Verify files after copying";
inline constexpr const char* kDataFilter = "Data File(*.dat)\n*.dat\nAll Files(*.*)\n*.*\n\n";
// A memory pane's state while the player's directory cannot be read.
inline constexpr const char* kMemoryUnreadable = "Memory Cannot Be Read";
inline constexpr const char* kExeFilter = "Programs you can run\n*\nAll Files(*.*)\n*.*\n\n";

// Font information dialog.
inline constexpr const char* kFontInfoTitle = "KD5200 LCD Font Information";
inline constexpr const char* kFontSize = "Size :";
inline constexpr const char* kFontFileName = "File Name :";
inline constexpr const char* kClose = "Close";

// Delete question, where the files' file system has no trash.
inline constexpr const char* kDeletePermanent =
    "There is no Trash here: the deletion is permanent and cannot be undone.";

// A question about the player was answered after the player was unplugged,
// plugged in again or changed: the command does nothing.
inline constexpr const char* kPlayerChanged =
    "The player changed while the question was open; nothing was done.";

// A copied file read back differs from its source (the path follows).
inline constexpr const char* kVerifyFailed =
    "The copy differs from its source and was removed; the transfer stopped.";

// A copied file could not be read back to be checked: why, then what became
// of the copy (the path follows).
inline constexpr const char* kReadBackFailed = "The copy could not be read back to be checked";
inline constexpr const char* kReadBackUnplugged =
    "The player was unplugged while the copy was read back to be checked";
inline constexpr const char* kUncheckedRemoved = "; the copy was removed and the transfer stopped.";
inline constexpr const char* kUncheckedKept =
    "; the copy was kept unchecked and the transfer stopped.";
// Another program changed the memory while a file was copied onto it, so
// the copy cannot be told from the other files (the path follows).
inline constexpr const char* kCopyNotIdentified =
    "Another program changed the player while this file was copied; the copy was kept "
    "unchecked and the transfer stopped.";

// Properties dialog.
inline constexpr const char* kPropertiesTitle = "MPEG Audio File Properties";
inline constexpr const char* kMpegInformation = "MPEG Information";
inline constexpr const char* kSizeInfo = "Size Info";
inline constexpr const char* kVersionInfo = "Version Info";

// Help file, relative to the current directory.
inline constexpr const char* kHelpFile = "HtmlHelp/Songdock.chm";
} // namespace text
