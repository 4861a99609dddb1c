#pragma once
// Songdock's persistent settings.
//
// The store is one INI file, $XDG_CONFIG_HOME/<company>/Songdock.conf; a
// section is an INI group and the empty section is the root group (the
// application key). Integers are stored as decimal numbers, texts as their
// bytes (paths need not be UTF-8). On Windows the store is the registry key
// HKEY_CURRENT_USER\Software\<company>\Songdock, a section its subkey,
// integers REG_DWORD and texts REG_SZ. A value that is missing, damaged or of
// another type reads as its default, and the others still read; a value that
// cannot be written is lost silently. A file that could not be read in full
// is never written over: the next write keeps it as Songdock.conf.damaged
// and starts from what could be read. Every read and write goes to the
// file at once, under a lock shared by all Songdock processes, and the file
// is replaced atomically, so a crash never leaves it half-written and a write
// never loses the other settings. Only the file filter and the last directory
// are held in memory during a run.
#include <cstddef>
#include <optional>
#include <string>

namespace settings {

// ---- Sections and keys -------------------------------------------------
inline constexpr const char* kAppSection = "";
inline constexpr const char* kDesktopSection = "Desktop";
inline constexpr const char* kDeviceSection = "KDS520";
inline constexpr const char* kSongdockSection = "Songdock";
inline constexpr const char* kAdpcmSection = "ADPCM";
inline constexpr const char* kQdxSection = "QDX";

inline constexpr const char* kWindowState = "WindowState";
// The main window's place and size in the normal state, in screen pixels.
inline constexpr const char* kWindowLeft = "WindowLeft";
inline constexpr const char* kWindowTop = "WindowTop";
inline constexpr const char* kWindowWidth = "WindowWidth";
inline constexpr const char* kWindowHeight = "WindowHeight";
inline constexpr const char* kFileListFilter = "FileListFilter";
inline constexpr const char* kLastDirectory = "LastDirectory";
inline constexpr const char* kSortKey = "SortKey";
inline constexpr const char* kSortAscendent = "SortAscendent";
inline constexpr const char* kSubItemWidth = "SubItemWidth";
inline constexpr const char* kTimeoutRecv = "TIMEOUT_RECV";
inline constexpr const char* kTimeoutSend = "TIMEOUT_SEND";
inline constexpr const char* kTimeoutFormat = "TIMEOUT_FORMAT";
inline constexpr const char* kCodecCodeName = "CodecCodeName";
inline constexpr const char* kBootCodeName = "BootCodeName";
inline constexpr const char* kFontName = "FontName";
inline constexpr const char* kRawDataFileName = "RawDataFileName";
inline constexpr const char* kRawDataViewer = "RawDataViewer";
inline constexpr const char* kRawDataAddr = "RawDataAddr";
inline constexpr const char* kRawDataCount = "RawDataCount";
inline constexpr const char* kROMSelect = "ROMSelect";
inline constexpr const char* kConvert = "Convert";
inline constexpr const char* kVerifyCopies = "VerifyCopies";
inline constexpr const char* kPlayerCodePage = "PlayerCodePage";

// ---- Defaults ----------------------------------------------------------
inline constexpr int kDefaultWindowState = 5;
inline constexpr const char* kDefaultFileFilter = "*.*";
inline constexpr int kDefaultColumnWidth = 100;
inline constexpr int kDefaultTimeoutRecv = 30000;
inline constexpr int kDefaultTimeoutSend = 20000;
inline constexpr int kDefaultTimeoutFormat = 300000;
inline constexpr unsigned kDefaultRawDataAddr = 0;
inline constexpr unsigned kDefaultRawDataCount = 1;

// ---- The profile -------------------------------------------------------

// Sets the company key (the folder below $XDG_CONFIG_HOME); Songdock sets
// "Zentrovia" at start-up. Until then the company is "Zentrovia" as well.
void SetCompanyKey(const std::string& company);
// Path of the settings file (on Windows the registry key) for the current
// company and environment.
std::string ProfilePath();

// Integer reader and writer: the stored value, or def when the value is
// missing or not a 32-bit decimal integer.
int GetInt(const char* section, const char* key, int def);
bool WriteInt(const char* section, const char* key, int value);
// Text reader and writer.
std::string GetText(const char* section, const char* key, const std::string& def);
bool WriteText(const char* section, const char* key, const std::string& value);
// Copies the stored text (or def) into buffer, at most limit bytes including
// the terminating NUL, never splitting a UTF-8 sequence; the buffer is always
// terminated when limit > 0. Returns the number of bytes copied (without NUL).
size_t GetTextInto(const char* section, const char* key, const char* def, char* buffer,
                   size_t limit);

// ---- Pane settings names -------------------------------------------------

// Section of a pane: "Desktop" for pane -1, else "Mp3Mem_%d" with the index.
// The result lives in a static 100-byte buffer until the next call.
const char* PaneSectionName(int pane);
// Per-column key "%s_%d" from a base key and an index, in a static 100-byte
// buffer until the next call.
const char* PaneKeyName(const char* base, int index);

// Column width of a list: pane -1 the desktop, 0 or 1 a memory list; def
// when none is stored.
int GetColumnWidth(int pane, int column, int def = kDefaultColumnWidth);
bool WriteColumnWidth(int pane, int column, int width);
// Sort column and direction of a list. The default direction depends on the
// caller: 1 after a fill, 0 when a column header is clicked.
int GetSortKey(int pane);
int GetSortAscendent(int pane, int def = 1);
bool WriteSort(int pane, int column, int ascending);

// ---- Typed settings ------------------------------------------------------

int GetWindowState();
bool WriteWindowState(int state);

// The main window's place in the normal state; none until one was written
// (or with a width or height below 1).
struct WindowPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
std::optional<WindowPlace> GetWindowPlace();
bool WriteWindowPlace(const WindowPlace& place);

struct Timeouts {
    int receive = kDefaultTimeoutRecv;
    int send = kDefaultTimeoutSend;
    int format = kDefaultTimeoutFormat;
};
Timeouts GetTimeouts();
bool WriteTimeouts(const Timeouts& timeouts);

struct RawDataRange {
    unsigned addr = kDefaultRawDataAddr;
    unsigned count = kDefaultRawDataCount;
};
RawDataRange GetRawDataRange();
bool WriteRawDataRange(const RawDataRange& range);

int GetROMSelect();
bool WriteROMSelect(int mode);
// "ADPCM"/"Convert" and "QDX"/"Convert": 0 converts to WAV, 1 copies unchanged.
int GetAdpcmConvert();
bool WriteAdpcmConvert(int value);
int GetQdxConvert();
bool WriteQdxConvert(int value);

// "Songdock"/"VerifyCopies": 1 reads every copied file back and compares it
// with its source; 0 (the default) does not.
bool GetVerifyCopies();
bool WriteVerifyCopies(bool verify);

// "Songdock"/"PlayerCodePage": the code page of the player's file names
// (an iconv name such as "CP949"); "" (the default) takes it from the
// person's language.
std::string GetPlayerCodePage();
bool WritePlayerCodePage(const std::string& codePage);

// Text settings of the "Songdock" section, cut to the caller's byte limit.
size_t GetSongdockText(const char* key, char* buffer, size_t limit);
bool WriteSongdockText(const char* key, const std::string& value);

// ---- Values held in memory during a run --------------------------------

// Loads the file filter ("FileListFilter", default "*.*").
void LoadFileFilter();
const std::string& GetFileFilter();
void SetFileFilter(const std::string& filter);
void SaveFileFilter();

// Loads the last directory ("Desktop"/"LastDirectory", default the current
// directory).
void LoadLastDirectory();
const std::string& GetLastDirectory();
// Ignored while the freeze flag is set.
void SetLastDirectory(const std::string& path);
void SetLastDirectoryFrozen(bool frozen);
bool IsLastDirectoryFrozen();
void SaveLastDirectory();

// Cuts text to at most limit - 1 bytes without splitting a UTF-8 sequence.
std::string CutUtf8(const std::string& text, size_t limit);

} // namespace settings
