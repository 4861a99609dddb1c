#pragma once
// Run-time binding of the device library: Songdock loads libkd5200usb.so
// (KD5200USB.dll on Windows) at run time and calls it only through this table. When the library cannot be
// loaded, or lacks one of its functions, the table holds stand-ins that act as
// if no player were attached (every call fails with code 3).
#include "lib/device/kd5200usb.h"

#include <cstdint>
#include <functional>
#include <string>

namespace device {

// The device library's functions, one pointer each, named without the prefix.
struct Kd5200Api {
    decltype(&::KD5200_Open) Open;
    decltype(&::KD5200_IsValidHandle) IsValidHandle;
    decltype(&::KD5200_TestConnection) TestConnection;
    decltype(&::KD5200_Close) Close;
    decltype(&::KD5200_Free) Free;
    decltype(&::KD5200_SetTimeout) SetTimeout;
    decltype(&::KD5200_Refresh) Refresh;
    decltype(&::KD5200_SetError) SetError;
    decltype(&::KD5200_GetError) GetError;
    decltype(&::KD5200_GetWindowsError) GetWindowsError;
    decltype(&::KD5200_DispError) DispError;
    decltype(&::KD5200_Upload) Upload;
    decltype(&::KD5200_Download) Download;
    decltype(&::KD5200_Delete) Delete;
    decltype(&::KD5200_Replace) Replace;
    decltype(&::KD5200_Rename) Rename;
    decltype(&::KD5200_Format) Format;
    decltype(&::KD5200_FormatLow) FormatLow;
    decltype(&::KD5200_UpgradeFirmware) UpgradeFirmware;
    decltype(&::KD5200_GetFirmwareVersionString) GetFirmwareVersionString;
    decltype(&::KD5200_GetFontInfo) GetFontInfo;
    decltype(&::KD5200_DownloadFont) DownloadFont;
    decltype(&::KD5200_EraseFont) EraseFont;
    decltype(&::KD5200_UploadFont) UploadFont;
    decltype(&::KD5200_UploadRawData) UploadRawData;
};

// What a progress report is about: the library's own work, or the read-back
// of a copy to check it ("Verify files after copying").
enum class ProgressPhase { kWork, kCheck };

// Called during long transfers with the work done and the total; returning
// true cancels the operation (the library then fails it with code 14). The
// library's reports come as kWork; a handler may pass them on in another phase.
using ProgressHandler = std::function<bool(KD5200_HWND parent, const char* operation,
                                           ProgressPhase phase, int64_t done, int64_t total)>;

// Loads the library (KD5200USB_LIBRARY, else the executable's folder, else
// the library folder of an installation, else the system's search path)
// unless it is loaded already, binds its functions and its optional
// extensions. Returns whether the real library is in use.
bool LoadDeviceLibrary();
// Unhooks and unloads the library; the table falls back to the stand-ins.
void UnloadDeviceLibrary();
// Whether the real library is loaded and fully bound.
bool LibraryLoaded();
// Why the library could not be loaded ("" when it was, or before the first try).
const std::string& LibraryError();
// Path the library was loaded from, or the path last tried.
const std::string& LibraryPath();

// The current function table: the library's, or the stand-ins.
const Kd5200Api& Api();

// Installs the handler the library's progress hook calls; an empty handler
// lets every operation run to its end. Returns the previous handler.
ProgressHandler SetProgressHandler(ProgressHandler handler);
// The handler installed now (empty when there is none).
ProgressHandler InstalledProgressHandler();
// Tells the handler that a file's transfer of `total` bytes starts, as a
// report of none done: the library's first report comes only after its
// first chunk, which a slow player takes a while to move. True when the
// handler asks to stop.
bool ReportStart(KD5200_HWND parent, const char* operation, int64_t total);
// While it lives, the library's messages name `shown` wherever they would
// name `used`: a path that stands in for the file being copied (a pipe, a
// file without a name), which means nothing to the person reading them.
class MessageSubject {
public:
    MessageSubject(std::string used, std::string shown);
    ~MessageSubject();
    MessageSubject(const MessageSubject&) = delete;
    MessageSubject& operator=(const MessageSubject&) = delete;
};

// The library's change-notifier descriptor, or -1 when it has none.
int ChangeNotifier();
// Hands the code page of player names to the library when it takes one
// (now, and whenever it is loaded again).
void SetLibraryCodePage(const std::string& codePage);
// The library's plug generation (changes on every plug and unplug), or -1
// when it has none.
int64_t PlugGeneration();

} // namespace device
