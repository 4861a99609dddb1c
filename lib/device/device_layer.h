#pragma once
// The device layer: Songdock's one connection to the player, the cached
// directory of each player memory and the file operations on the player.
//
// Free functions over module-level state, all called on the user-interface
// thread. Every operation checks for an open handle, re-reads the memory's
// directory, calls the device library, shows a failure through the library's
// error display (code 14, stopped by the user, is never shown) and marks the
// memory stale so that the next listing reads it again. "Download" means PC
// to player, "upload" player to PC. Parent windows are opaque pointers passed
// to the library unchanged. Memory 0 is the internal memory, 1 the external.
#include "base/platform/code_page.h"
#include "lib/device/device_copy.h"
#include "lib/device/device_room.h"
#include "lib/device/kd5200_binding.h"
#include "lib/device/kd5200usb.h"
#include "lib/settings/settings_store.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class HDirEntryList;
class HNameList;

// ---- Connection -----------------------------------------------------------

// Loads the device library, reads the three time-outs from the settings and
// passes receive and send time-out to the library. Resets every cached state.
void DevInit();
// Writes the time-outs to the settings, closes the player and frees and
// unloads the library.
void DevExit();
// Keeps all three time-outs and passes receive and send time-out on at once.
void DevSetTimeouts(int receive, int send, int format);
// Closes the player if a handle is open (the stored handle is cleared first).
void DevClose();
// Opens the player unless it is open and still answering, its handle
// included: a handle that fails (opened before an unplug, as a USB device's
// handle fails after one) is closed and the player opened again. With read set,
// reads both directories and reports count 2 and a mask with bit i set for
// each memory read; without, count and mask are 0. When the player was open
// and answering, count and mask stay untouched. Returns whether a player is open.
bool DevConnect(bool read, int* count, int* mask);
// Re-reads a memory's directory, and first puts right what replaces killed
// part-way left on it (device_replace.h); false (error 4 or 12 set in the
// library) when the read fails or the memory has no capacity.
bool DevRefreshMemory(int memory);
// Whether the last read of a memory failed because the player's directory
// cannot be read (a damaged player rather than an absent one).
bool DevDirectoryUnreadable(int memory);

// ---- Listing --------------------------------------------------------------

// Capacity and free space in bytes; false without a player, for a bad memory
// or when a needed re-read fails.
bool DevGetMemorySpace(int memory, uint64_t* capacityBytes, uint64_t* freeBytes);
// Room on the memory as read now (the directory is read again): its free
// blocks of KD5200_BLOCK_SIZE and free directory entries. False without a
// player or when the memory cannot be read.
bool DevGetRoom(int memory, DevRoom* room);
// Files on the memory (0 when absent or unreadable).
int DevGetFileCount(int memory);
// Fills list with (display name, entry number, size) of every entry; reads
// the directory first when force is set or the memory is stale.
bool DevListFiles(int memory, HDirEntryList& list, bool force);

// ---- File operations (result: 0 or an error code) --------------------------

// Deletes one entry; later entries move down by one.
int DevDeleteFile(KD5200_HWND parent, int memory, int number, const char* name);
// Copies player files (list: name, entry number, size, player name) into
// folder (or to options.target), converting recordings as the options say;
// the options' policy decides about each PC file that would be replaced.
// Stops at the first failure.
DevCopyResult DevUploadFiles(KD5200_HWND parent, int memory, const char* folder,
                             const HNameList& list, const DevCopyOptions& options);
// Stores PC files (list names are full paths) on the memory; stops at the
// first failure.
DevCopyResult DevDownloadFiles(KD5200_HWND parent, int memory, const HNameList& list,
                               const DevCopyOptions& options);
// How many files the last DevUploadFiles or DevDownloadFiles copied whole
// (and found equal to their source, when copies are verified), or kept unchecked.
int DevGetFilesCopied();
// A file of the last DevUploadFiles whose player name did not decode: the
// name as shown (U+FFFD for the bytes) and the PC name it was written
// under (those bytes as "%HH").
struct DevEscapedName {
    std::string shown;
    std::string pcName;
};
const std::vector<DevEscapedName>& DevGetEscapedNames();
// Formats a memory under the format time-out.
int DevFormat(KD5200_HWND parent, int memory);
int DevFormatLow(KD5200_HWND parent, int memory);
// Exchanges an entry with its neighbour; 1 once the library was called, 3
// without a player.
int DevMoveEntry(int memory, int number, int neighbour);
// Renames an entry; 1 once the library was called, 3 without a player.
int DevRenameEntry(int memory, int number, const char* newName);
// Renames an entry to a name given as the player's own bytes, as listed
// (a name kept from the player, whose bytes need not decode); as
// DevRenameEntry otherwise.
int DevRenameEntryToBytes(int memory, int number, const std::string& playerBytes);
// The attached player's firmware version (at most 63 characters), or null.
const char* DevGetFirmwareVersion();

// ---- Helpers ------------------------------------------------------------

// Asks whether to replace the file at path (caption and secondary text: the path); returns
// platform::kIdYes, kIdNo or kIdCancel. Only Yes is consent. With more files
// to come in the same transfer, the question also offers "Yes to All" and
// "No to All" (kIdYesToAll, kIdNoToAll), which answer the rest of it.
int DevAskOverwrite(const char* path, bool moreToCome = false);
// Copies name into out (size bytes, terminator included) with its extension
// old (any case) replaced by new; false when name has no such extension.
bool DevReplaceExtension(const char* name, const char* oldExt, const char* newExt, char* out,
                         int size);
// A player file name reduced to one safe file name: separators and ':'
// become '_', and "", "." or ".." becomes "_".
std::string DevSafeFileName(const std::string& name);
// Where an uploaded player file goes: folder + "/" + the safe name (no second
// slash when folder ends in one), or the safe name alone without a folder.
std::string DevTargetPath(const char* folder, const std::string& name);

// ---- Player file names -------------------------------------------------
//
// Above the device layer names are the PC's bytes (UTF-8); the library takes
// and returns them in the player's code page.

// Reads the code page from the settings ("" = from the person's language)
// and hands it to the library. DevInit does it; call it again when the
// setting changes.
void DevApplyCodePage();
// The code page in use, such as "CP949".
const std::string& DevGetCodePage();
// A player name as text; bytes that do not decode become U+FFFD, and whole
// (when given) tells whether every byte decoded.
std::string DevNameToText(std::string_view playerBytes, bool* whole = nullptr);
// A player name as the PC file name an upload writes: the text, with each
// byte that does not decode as "%HH" (and "%" as "%25" in such a name);
// whole (when given) tells whether every byte decoded.
std::string DevNameToPcName(std::string_view playerBytes, bool* whole = nullptr);
// A PC name as the player's bytes (a name that is not UTF-8 keeps its bytes
// when they read as the code page's); false, with the first character that
// the code page cannot write, when it cannot be stored.
bool DevNameToPlayer(std::string_view pcName, std::string& playerBytes,
                     platform::Unencodable* failure = nullptr);
// The last part of a PC path (after "/", on Windows also "\\" or "C:"): the
// name the player gives a file it stores.
std::string DevPcBaseName(const std::string& path);
// The first character a code page cannot write, as a person is shown it:
// the character and its code point ("U+65E5"), which shows when the character
// itself may not; a byte that is no UTF-8 by its value ("0xE9") for both.
struct DevUnencodableCharacter {
    std::string character;
    std::string point;
};
DevUnencodableCharacter DevDescribeUnencodable(const platform::Unencodable& failure);
// Refuses a PC name that the player cannot hold: says so (naming the file
// and the character) and returns false; true when it can be stored.
bool DevCheckPlayerName(KD5200_HWND parent, const std::string& pcPath);
// A PC path that the library records but does not open (the file a firmware
// image was made from) in the player's code page; false, after saying so
// (naming the path and the character), when the code page cannot write it.
bool DevPathToPlayer(KD5200_HWND parent, const std::string& pcPath, std::string& playerBytes);

// ---- State for the maintenance commands ---------------------------------

// The open device handle, or null.
KD5200_HANDLE DevGetHandle();
// The three time-outs currently held.
settings::Timeouts DevGetTimeouts();
// Stale flag of a memory (0 or 1; other indexes are ignored).
void DevSetStale(int memory, bool stale);
bool DevIsStale(int memory);
// Memory information as last read (zero when absent or unread).
KD5200_MEMINFO DevGetMemoryInfo(int memory);
uint32_t DevGetCapacityBlocks(int memory);
// Entries written by the last directory read of the memory.
int DevGetEntryCount(int memory);
// The window that owns the overwrite question (the main window), or null.
void DevSetMainWindow(KD5200_HWND window);

// ---- The library itself ---------------------------------------------------

// Whether the device library is loaded; when not, every operation acts as
// with no player and DevLibraryError says why.
bool DevLibraryLoaded();
const std::string& DevLibraryError();
// The library's functions (its own, or the stand-ins without a library).
const device::Kd5200Api& DevApi();
// Handler for the library's progress reports (return true to cancel); the
// previous one is returned. Scoped handlers: device::ProgressGuard.
device::ProgressHandler DevSetProgressHandler(device::ProgressHandler handler);
// Descriptor that becomes readable when the player is plugged or unplugged, or -1.
int DevGetChangeNotifier();
// A count that changes on every plug and unplug of the player, however
// quick, or -1 when the library does not keep one.
int64_t DevGetPlugGeneration();
