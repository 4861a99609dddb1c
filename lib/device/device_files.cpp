// File operations on a player memory: delete, upload, download, format, move, rename.
#include "lib/device/device_layer.h"
#include "lib/device/device_progress.h"
#include "lib/device/device_state.h"
#include "lib/device/device_verify.h"
#include "lib/device/device_watch.h"
#include "lib/lists/dir_entry_list.h"
#include "lib/lists/name_list.h"
#include "base/platform/folder_files.h"
#include "base/platform/message_box.h"
#include "base/platform/paths.h"
#include "base/resources/strings.h"

#include <algorithm>
#include <new>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

using device::Api;
using device::detail::Box;
using device::detail::Prepare;
using device::detail::Report;
using device::detail::S;
using device::detail::ValidMemory;

namespace {

void MarkStale(int memory) {
    if (ValidMemory(memory)) S().memories[memory].stale = true;
}

// What one player file becomes on the PC.
struct UploadPlan {
    std::string pcName;     // safe file name, extension possibly changed to WAV
    std::string playerName; // the player's bytes, passed when they differ from pcName
    bool passName = false;
    int kind;               // KD5200_CONVERT_*
    bool escaped = false;   // bytes of the player's name written as "%HH"

    const char* PlayerName() const { return passName ? playerName.c_str() : nullptr; }
};

// Replaces the extension when it is old, for the conversion of recordings.
bool ConvertName(std::string& name, const char* oldExt, const char* newExt) {
    std::vector<char> out(std::max<size_t>(260, name.size() + 1));
    if (!DevReplaceExtension(name.c_str(), oldExt, newExt, out.data(),
                             static_cast<int>(out.size())))
        return false;
    name = out.data();
    return true;
}

// The list holds the names as shown (the PC's text); the player's own bytes
// come from the directory just read, by entry number. A name whose bytes do
// not decode is copied under its readable part with each such byte as
// "%HH", so that it is told from every other name and nothing of it is lost.
UploadPlan PlanUpload(int memory, const HNameList::Entry& entry, bool convertQka,
                      bool convertQdx) {
    UploadPlan plan{DevSafeFileName(entry.name), "", false, KD5200_CONVERT_NONE};
    if (convertQka && ConvertName(plan.pcName, "QKA", "WAV")) plan.kind = KD5200_CONVERT_QKA_TO_WAV;
    if (convertQdx && ConvertName(plan.pcName, "QDX", "WAV")) plan.kind = KD5200_CONVERT_QDX_TO_WAV;
    std::string shownName = entry.name;
    if (plan.kind == KD5200_CONVERT_NONE && entry.second) shownName = *entry.second;
    const std::string own = device::detail::PlayerName(memory, entry.value1);
    if (!own.empty() && DevNameToText(own) == shownName) {
        plan.playerName = own;
        bool whole = true;
        std::string pcName = DevSafeFileName(DevNameToPcName(own, &whole));
        if (!whole) {
            // The extension is plain text, so the conversion finds it as before.
            if (plan.kind == KD5200_CONVERT_QKA_TO_WAV) ConvertName(pcName, "QKA", "WAV");
            if (plan.kind == KD5200_CONVERT_QDX_TO_WAV) ConvertName(pcName, "QDX", "WAV");
            plan.pcName = pcName;
            plan.escaped = true;
        }
    } else if (!DevNameToPlayer(shownName, plan.playerName)) {
        plan.playerName = shownName;
    }
    plan.passName = plan.kind != KD5200_CONVERT_NONE || entry.second || plan.playerName != plan.pcName;
    return plan;
}

// Says that a transfer stopped before file because the player changed; the
// code to return (shown already).
int TellStopped(KD5200_HWND parent, device::Change change, device::ChangeMoment moment,
                const std::string& file) {
    Box(parent, platform::WithSecondaryText(device::ChangeText(change, moment), file),
        platform::kMbOk | platform::kMbIconWarning);
    return device::ChangeCode(change);
}

// A copy's options for its length: whether failures are shown, and its
// progress handler.
class CopyScope {
public:
    explicit CopyScope(const DevCopyOptions& options)
        : quietBefore_(std::exchange(S().quiet, !options.show)),
          quietCheckBefore_(std::exchange(S().quietCheck, !options.show || !options.showCheck)) {
        if (options.progress) guard_.emplace(options.progress);
    }
    ~CopyScope() {
        S().quiet = quietBefore_;
        S().quietCheck = quietCheckBefore_;
    }
    CopyScope(const CopyScope&) = delete;
    CopyScope& operator=(const CopyScope&) = delete;

private:
    bool quietBefore_;
    bool quietCheckBefore_;
    std::optional<device::ProgressGuard> guard_;
};

int Format(KD5200_HWND parent, int memory, bool low) {
    if (const int code = Prepare(parent, memory)) return code;
    const settings::Timeouts t = S().timeouts;
    Api().SetTimeout(t.format, t.send);
    const int32_t ok = low ? Api().FormatLow(parent, S().handle, memory)
                           : Api().Format(parent, S().handle, memory);
    const int result = ok ? KD5200_ERR_NONE : Api().GetError();
    const int windowsError = ok ? 0 : Api().GetWindowsError();
    Api().SetTimeout(t.receive, t.send);
    Report(parent, result, windowsError);
    MarkStale(memory);
    return result;
}

} // namespace

int DevDeleteFile(KD5200_HWND parent, int memory, int number, const char* name) {
    if (const int code = Prepare(parent, memory)) return code;
    // The library names the file in its own code page.
    std::string shown = device::detail::PlayerName(memory, number);
    if (shown.empty() && name && !DevNameToPlayer(name, shown)) shown.clear();
    if (Api().Delete(parent, S().handle, memory, number, shown.c_str())) {
        MarkStale(memory);
        return KD5200_ERR_NONE;
    }
    const int code = Api().GetError();
    Report(parent, code, Api().GetWindowsError());
    return code;
}

int DevCopyResult::Copied() const {
    int copied = 0;
    for (const DevFileResult& file : files)
        copied += file.end == DevCopyEnd::kCopied || file.end == DevCopyEnd::kKeptUnchecked;
    return copied;
}

DevCopyResult DevUploadFiles(KD5200_HWND parent, int memory, const char* folder,
                             const HNameList& list, const DevCopyOptions& options) {
    S().filesCopied = 0;
    S().escapedNames.clear();
    const CopyScope scope(options);
    DevCopyResult out;
    int& result = out.code;
    if ((result = Prepare(parent, memory))) return out;
    bool shown = false;
    try {
        size_t left = list.GetCount();
        // Entries are addressed by number: each is checked just before its
        // copy, since a question's event loop, or another program between two
        // copies, may have moved another file to its number.
        std::optional<device::PlayerWatch> ownWatch;
        if (!options.watch) ownWatch.emplace();
        const device::PlayerWatch& watch = options.watch ? *options.watch : *ownWatch;
        // The PC files this transfer wrote: the policy is told of a later
        // file of the same PC name, so that two player files never become
        // one PC file unasked.
        std::set<std::string> written;
        bool first = true;
        for (const HNameList::Entry& entry : list) {
            --left;
            if (result != KD5200_ERR_NONE) break;
            if (!S().handle) {
                result = KD5200_ERR_NOT_CONNECTED;
                break;
            }
            const UploadPlan plan =
                PlanUpload(memory, entry, options.convertQka, options.convertQdx);
            const std::string target =
                options.target.empty() ? DevTargetPath(folder, plan.pcName) : options.target;
            DevFileResult& file = out.files.emplace_back();
            file.name = entry.name;
            file.target = target;
            bool asked = false;
            if (platform::PathExists(target)) {
                const DevOverwriteAnswer answer =
                    options.overwrite
                        ? options.overwrite(target, left > 0, written.count(target) > 0)
                        : DevOverwriteAnswer{};
                asked = answer.asked;
                if (answer.action == DevOverwrite::kSkip) {
                    file.end = DevCopyEnd::kSkipped;
                    continue;
                }
                if (answer.action != DevOverwrite::kReplace) {
                    out.files.pop_back();
                    result = KD5200_ERR_CANCELLED;
                    break;
                }
            }
            const bool check = options.checkFirst || !first || asked;
            first = false;
            const device::ShownEntry shownEntry{entry.value1, entry.name,
                                                static_cast<uint32_t>(entry.value2)};
            if (const device::Change change =
                    check ? watch.Entries(memory, {shownEntry}) : device::Change::kNone;
                change != device::Change::kNone) {
                result = file.code = TellStopped(parent, change,
                                                 asked ? device::ChangeMoment::kQuestion
                                                       : device::ChangeMoment::kTransfer,
                                                 entry.name);
                shown = true;
                break;
            }
            if (device::ReportStart(parent, "upload", static_cast<int64_t>(entry.value2))) {
                result = file.code = KD5200_ERR_CANCELLED;
                break;
            }
            bool kept = false; // a copy that could not be checked but stays
            if (options.verify) {
                const device::detail::Verified done = device::detail::VerifiedUpload(
                    parent, memory, entry.value1, target, plan.PlayerName(),
                    static_cast<uint32_t>(entry.value2), plan.kind);
                result = done.code;
                shown = done.shown;
                kept = done.kept;
                file.systemError = done.systemError;
                file.pcSide = done.pcSide;
                file.differs = done.differs;
                file.unchecked = done.unchecked;
            } else if (!Api().Upload(parent, S().handle, memory, entry.value1, target.c_str(),
                                     plan.PlayerName(), entry.value2, plan.kind)) {
                result = Api().GetError();
                if (result == KD5200_ERR_NONE) result = KD5200_ERR_FILE_READ;
                file.systemError = Api().GetWindowsError();
                file.pcSide = result == KD5200_ERR_FILE_WRITE;
            }
            file.code = result;
            if (result == KD5200_ERR_NONE || kept) {
                file.end = kept ? DevCopyEnd::kKeptUnchecked : DevCopyEnd::kCopied;
                ++S().filesCopied;
                written.insert(target);
                if (plan.escaped) S().escapedNames.push_back({entry.name, plan.pcName});
            }
        }
    } catch (const std::bad_alloc&) {
        Report(parent, KD5200_ERR_NO_MEMORY, 0);
        MarkStale(memory);
        result = KD5200_ERR_NO_MEMORY;
        return out;
    }
    MarkStale(memory);
    if (!shown) Report(parent, result, Api().GetWindowsError());
    return out;
}

DevCopyResult DevDownloadFiles(KD5200_HWND parent, int memory, const HNameList& list,
                               const DevCopyOptions& options) {
    S().filesCopied = 0;
    const CopyScope scope(options);
    DevCopyResult out;
    int& result = out.code;
    if ((result = Prepare(parent, memory))) return out;
    bool shown = false;
    // A player unplugged, or plugged in again, between two copies gets no more.
    std::optional<device::PlayerWatch> ownWatch;
    if (!options.watch) ownWatch.emplace();
    const device::PlayerWatch& watch = options.watch ? *options.watch : *ownWatch;
    for (const HNameList::Entry& entry : list) {
        if (!S().handle) {
            result = KD5200_ERR_NOT_CONNECTED;
            break;
        }
        DevFileResult& file = out.files.emplace_back();
        file.name = entry.name;
        // A name the player's code page cannot write is refused before
        // anything of the file is written; the transfer stops there.
        std::string bytes;
        if (S().quiet ? !DevNameToPlayer(DevPcBaseName(entry.name), bytes)
                      : !DevCheckPlayerName(parent, entry.name)) {
            result = file.code = KD5200_ERR_BAD_NAME;
            shown = true;
            break;
        }
        if (const device::Change change = watch.Player(); change != device::Change::kNone) {
            result = file.code =
                TellStopped(parent, change, device::ChangeMoment::kTransfer, entry.name);
            shown = true;
            break;
        }
        // The files there before, so that the read-back knows which entry is the copy.
        const size_t countBefore = options.verify ? device::ListedEntries(memory).size() : 0;
        std::error_code sizeError;
        const auto size = std::filesystem::file_size(platform::FsPath(entry.name), sizeError);
        if (!sizeError && device::ReportStart(parent, "download", static_cast<int64_t>(size))) {
            result = file.code = KD5200_ERR_CANCELLED;
            break;
        }
        if (!Api().Download(parent, S().handle, memory, entry.name.c_str())) {
            result = file.code = Api().GetError();
            file.systemError = Api().GetWindowsError();
            file.pcSide = result == KD5200_ERR_FILE_READ;
            if (result != KD5200_ERR_NONE) break;
        }
        if (options.verify) {
            const device::detail::Verified done =
                device::detail::VerifyDownload(parent, memory, entry.name, countBefore);
            result = file.code = done.code;
            shown = done.shown;
            file.systemError = done.systemError;
            file.differs = done.differs;
            file.unchecked = done.unchecked;
            if (done.kept) {
                // It stays on the player, unchecked.
                ++S().filesCopied;
                file.end = DevCopyEnd::kKeptUnchecked;
            }
            if (result != KD5200_ERR_NONE) break;
        }
        ++S().filesCopied;
        file.end = DevCopyEnd::kCopied;
    }
    MarkStale(memory);
    if (!shown) Report(parent, result, Api().GetWindowsError());
    return out;
}

int DevGetFilesCopied() {
    return S().filesCopied;
}

const std::vector<DevEscapedName>& DevGetEscapedNames() {
    return S().escapedNames;
}

int DevFormat(KD5200_HWND parent, int memory) {
    return Format(parent, memory, false);
}

int DevFormatLow(KD5200_HWND parent, int memory) {
    return Format(parent, memory, true);
}

int DevMoveEntry(int memory, int number, int neighbour) {
    if (const int code = Prepare(nullptr, memory)) return code;
    if (!Api().Replace(S().handle, memory, number, neighbour))
        Report(nullptr, Api().GetError(), Api().GetWindowsError());
    MarkStale(memory);
    return 1;
}

namespace {

// Renames an entry to the player's own bytes; 1 once the library was called.
int RenameTo(int memory, int number, const std::string& bytes) {
    if (!Api().Rename(S().handle, memory, number, bytes.c_str(),
                      &S().memories[memory].entries[number]))
        Report(nullptr, Api().GetError(), Api().GetWindowsError());
    MarkStale(memory);
    return 1;
}

// Checks what a rename needs before the library is called: 0 when it may
// go on, else what to return (said already).
int RenameRefused(int memory, int number) {
    if (!S().handle) {
        Api().DispError(nullptr, KD5200_ERR_NOT_CONNECTED, 0);
        return KD5200_ERR_NOT_CONNECTED;
    }
    if (!ValidMemory(memory) || number < 0 || number >= KD5200_MAX_ENTRIES) {
        // No cached record to hand over: refuse without calling the library.
        Api().DispError(nullptr,
                        ValidMemory(memory) ? KD5200_ERR_NO_ENTRY : KD5200_ERR_BAD_ARGUMENT, 0);
        return 1;
    }
    return 0;
}

} // namespace

int DevRenameEntry(int memory, int number, const char* newName) {
    if (const int refused = RenameRefused(memory, number)) return refused;
    // The player takes the new name in its code page; one it cannot write is
    // refused and the entry keeps its name.
    std::string bytes;
    if (!DevNameToPlayer(newName ? newName : "", bytes)) {
        DevCheckPlayerName(nullptr, newName ? newName : "");
        return 1;
    }
    return RenameTo(memory, number, bytes);
}

int DevRenameEntryToBytes(int memory, int number, const std::string& playerBytes) {
    if (const int refused = RenameRefused(memory, number)) return refused;
    return RenameTo(memory, number, playerBytes);
}

int DevAskOverwrite(const char* path, bool moreToCome) {
    const char* text = strings::Load(sid::kOverwrite);
    // The caption names the file, but a window manager cuts a long one: the
    // path is also the box's secondary text.
    const std::string file = path ? path : "";
    const unsigned buttons = moreToCome ? platform::kMbYesNoToAllCancel : platform::kMbYesNoCancel;
    return platform::MessageBox(S().mainWindow, platform::WithSecondaryText(text ? text : "", file),
                                file, buttons | platform::kMbIconQuestion);
}
