#include "lib/device/device_verify.h"

#include "lib/device/device_compare.h"
#include "lib/device/device_state.h"
#include "lib/lists/dir_entry_list.h"
#include "lib/device/device_layer.h"
#include "lib/device/device_progress.h"
#include "lib/voice/voice_convert.h"
#include "base/platform/atomic_file.h"
#include "base/platform/folder_files.h"
#include "base/platform/message_box.h"
#include "base/platform/open_file.h"
#include "base/platform/paths.h"
#include "base/platform/temp_file.h"
#include "base/resources/strings.h"

#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <string>

using device::Api;
using device::detail::Box;
using device::detail::Report;
using device::detail::S;

namespace device::detail {

using platform::OpenFile;

namespace {

// While a copy is read back, its reports go out as the check of the copied
// file; the user may still cancel.
class ReadBackProgress {
public:
    ReadBackProgress()
        : guard_([this](KD5200_HWND parent, const char* operation, ProgressPhase, int64_t done,
                        int64_t total) {
              return guard_.Outer(parent, operation, ProgressPhase::kCheck, done, total);
          }) {}
    // For the conversion: whether to stop.
    bool Cancelled(int64_t total) {
        return guard_.Outer(nullptr, "", ProgressPhase::kCheck, total, total);
    }

private:
    ProgressGuard guard_;
};

bool RegularFile(const std::string& path) {
    platform::FileStamp st;
    return platform::StampAt(path, st) && st.regular;
}

// Shows what a read-back found, unless the copy's caller says it itself.
void CheckBox(KD5200_HWND parent, const char* message, const std::string& file,
              unsigned style) {
    if (!S().quietCheck)
        Box(parent, platform::WithSecondaryText(strings::Tr(message), file), style);
}

// The message of a copy that differs from its source; the file is named.
Verified Mismatch(KD5200_HWND parent, const std::string& file, int code) {
    CheckBox(parent, text::kVerifyFailed, file, platform::kMbOk | platform::kMbIconError);
    Verified done{code, true};
    done.differs = true;
    return done;
}

// A failure of the PC file, shown through the library.
Verified PcFailure(KD5200_HWND parent, int error) {
    Report(parent, KD5200_ERR_FILE_WRITE, error);
    return {KD5200_ERR_FILE_WRITE, true, false, error, true};
}

// Whether a failed read-back failed because the player went away.
bool Unplugged(int code) {
    return code == KD5200_ERR_NOT_ATTACHED || code == KD5200_ERR_REPLUGGED ||
           code == KD5200_ERR_NOT_CONNECTED || code == KD5200_ERR_BAD_HANDLE || !S().handle;
}

// A library call that failed, not yet shown; a failure to write the PC file is the PC file's.
Verified LibraryFailure() {
    Verified done{Api().GetError(), false, false, Api().GetWindowsError()};
    if (done.code == KD5200_ERR_NONE) done.code = KD5200_ERR_FILE_READ;
    done.pcSide = done.code == KD5200_ERR_FILE_WRITE;
    return done;
}

// The message of a copy that could not be read back: it names the file
// being copied and tells whether its copy was removed or kept unchecked.
Verified Unchecked(KD5200_HWND parent, const std::string& file, int code, bool removed) {
    const int error = errno;
    const char* message = Unplugged(code)
                              ? (removed ? text::kReadBackUnpluggedRemoved : text::kReadBackUnpluggedKept)
                              : (removed ? text::kReadBackFailedRemoved : text::kReadBackFailedKept);
    CheckBox(parent, message, file, platform::kMbOk | platform::kMbIconError);
    Verified done{code, true, !removed, error};
    done.unchecked = true;
    return done;
}

// Copies entry number of the memory raw into the file open on fd, which has
// no name (so that a process killed meanwhile leaves nothing). The library's
// messages name `shown`, the file being copied; a failure is shown. The
// outcome (shown).
Verified CopyInto(KD5200_HWND parent, int memory, int number, int fd, const std::string& shown,
                  const char* playerName, uint32_t size) {
    int writeError = 0;
    const int code = DevReadEntryToFile(parent, memory, number, size, playerName, fd, writeError,
                                        S().quiet ? std::string() : shown);
    if (writeError != 0) {
        Report(parent, code, writeError);
        return {code, true, false, writeError, true};
    }
    return {code, true, false, code != KD5200_ERR_NONE ? Api().GetWindowsError() : 0};
}

// Reads entry number of the memory back and compares it, as it comes, with
// the file open on `expected`: the library's code, and whether the two are
// the same. Nothing of the second read is stored.
int ReadBack(KD5200_HWND parent, int memory, int number, int expected, const char* playerName,
             uint32_t size, bool& same) {
    return DevCompareEntryWithFile(parent, memory, number, size, playerName, expected, same);
}

int ConversionProgress(long, long total, void* user) {
    return static_cast<ReadBackProgress*>(user)->Cancelled(total) ? 1 : 0;
}

// Converts the checked raw copy at raw into target, which appears whole or
// not at all.
Verified Convert(KD5200_HWND parent, const std::string& raw, const std::string& target,
                 int conversion) {
    platform::AtomicFile output;
    if (const int error = output.Create(target)) return PcFailure(parent, error);
    const std::string into = output.Direct() ? target : output.TempPath();
    ReadBackProgress progress;
    errno = 0;
    const int rc =
        conversion == KD5200_CONVERT_QKA_TO_WAV
            ? convert::QkaFileToWav(raw.c_str(), into.c_str(), ConversionProgress, &progress)
            : convert::QdxFileToWav(raw.c_str(), into.c_str(), ConversionProgress, &progress);
    const int error = errno;
    if (rc == -3) return {KD5200_ERR_CANCELLED, true};
    if (rc == -4 || rc == 0) {
        const int commit = rc == 0 ? output.Commit() : error;
        if (commit == 0) return {};
        return PcFailure(parent, commit);
    }
    Report(parent, KD5200_ERR_CONVERSION, 0);
    return {KD5200_ERR_CONVERSION, true};
}

// Where no file can be made beside the target to take its place (it is
// read-only: the library then refuses as it would have), or the target is a
// link to a missing file: the copy is written in place and removed when it
// fails.
Verified CheckedInPlace(KD5200_HWND parent, int memory, int number, const std::string& target,
                        const char* playerName, uint32_t size) {
    if (!Api().Upload(parent, S().handle, memory, number, target.c_str(), playerName, size,
                      KD5200_CONVERT_NONE))
        return LibraryFailure();
    const OpenFile copy(platform::OpenForReading(target));
    bool same = false;
    if (const int code =
            ReadBack(parent, memory, number, copy.Fd(), playerName, size, same)) {
        const bool removed = platform::RemoveName(target) == 0;
        return code == KD5200_ERR_CANCELLED ? Verified{code, false}
                                            : Unchecked(parent, target, code, removed);
    }
    if (same) return {};
    platform::RemoveName(target);
    return Mismatch(parent, target, KD5200_ERR_FILE_WRITE);
}

} // namespace

Verified VerifyDownload(KD5200_HWND parent, int memory, const std::string& pcPath,
                        size_t countBefore) {
    HDirEntryList listing;
    if (!DevListFiles(memory, listing, true)) {
        // The copy went through before the directory could be read again
        // (the player was lost, say): it stays.
        const bool lost = !S().handle || !Api().TestConnection();
        return Unchecked(parent, pcPath, lost ? KD5200_ERR_NOT_ATTACHED : KD5200_ERR_DIRECTORY,
                         false);
    }
    if (listing.IsEmpty()) return {KD5200_ERR_NO_ENTRY, false};
    // A download adds its entry at the end of the directory.
    HDirEntryList::Entry added;
    for (const HDirEntryList::Entry& entry : listing)
        if (entry.number >= added.number) added = entry;
    // Another program may have added or removed files meanwhile: then the
    // last entry need not be this copy, and nothing is read back or deleted.
    platform::FileStamp st;
    if (listing.GetCount() != countBefore + 1 || added.number != static_cast<int>(countBefore) ||
        !platform::StampAt(pcPath, st) || st.size != added.size) {
        CheckBox(parent, text::kCopyNotIdentified, pcPath,
                 platform::kMbOk | platform::kMbIconWarning);
        Verified kept{KD5200_ERR_NO_ENTRY, true, true};
        kept.unchecked = true;
        return kept;
    }
    const OpenFile source(platform::OpenForReading(pcPath));
    // The list's names are the player's display names.
    const char* shown = added.name ? added.name->c_str() : "";
    bool same = false;
    if (const int code = ReadBack(parent, memory, added.number, source.Fd(), nullptr, added.size,
                                  same)) {
        // Stopped by the user: the file being copied goes, as when a copy is
        // stopped part-way. A copy that could not be checked goes too (its
        // source is still on the PC), unless the player is gone: then it
        // stays and is counted.
        const bool removed =
            S().handle && Api().Delete(parent, S().handle, memory, added.number, shown);
        if (code == KD5200_ERR_CANCELLED) return {code, false};
        return Unchecked(parent, pcPath, code, removed);
    }
    if (same) return {};
    const bool removed =
        S().handle && Api().Delete(parent, S().handle, memory, added.number, shown);
    Verified differs = Mismatch(parent, pcPath, KD5200_ERR_STORAGE);
    differs.kept = !removed; // it stays on the player
    return differs;
}

Verified VerifiedUpload(KD5200_HWND parent, int memory, int number, const std::string& target,
                        const char* playerName, uint32_t size, int conversion) {
    const bool checkable = !platform::PathExists(target) || RegularFile(target);
    if (!checkable) {
        if (Api().Upload(parent, S().handle, memory, number, target.c_str(), playerName, size,
                         conversion))
            return {};
        return LibraryFailure();
    }
    if (conversion == KD5200_CONVERT_NONE) {
        // The copy goes into a new file beside the target, which takes the
        // target's place only once it has been checked: a file of that name
        // stays as it was until then, and nothing is left of a copy that
        // fails. A link keeps pointing at the new file.
        platform::FileStamp st;
        const bool exists = platform::StampAt(target, st);
        std::string real = target;
        if (exists) {
            std::error_code error;
            const auto resolved = std::filesystem::canonical(platform::FsPath(target), error);
            if (!error) real = platform::PathText(resolved);
            if (platform::IsReadOnlyFile(real))
                return CheckedInPlace(parent, memory, number, target, playerName, size);
        } else if (platform::Exists(target)) {
            return CheckedInPlace(parent, memory, number, target, playerName, size);
        }
        // The copy has no name until it is checked (a file that is
        // replaced keeps its mode and owner, as far as this user may).
        platform::AtomicFile output;
        if (const int error = output.Create(real)) return PcFailure(parent, error);
        if (const Verified copied =
                CopyInto(parent, memory, number, output.Fd(), target, playerName, size);
            copied.code != KD5200_ERR_NONE)
            return copied;
        bool same = false;
        if (const int code =
                ReadBack(parent, memory, number, output.Fd(), playerName, size, same))
            return code == KD5200_ERR_CANCELLED ? Verified{code, false}
                                                : Unchecked(parent, target, code, true);
        if (!same) return Mismatch(parent, target, KD5200_ERR_FILE_WRITE);
        if (const int error = output.Commit()) return PcFailure(parent, error);
        return {};
    }
    // A converting copy: the raw copy that is converted is the one checked.
    const OpenFile raw(platform::OpenUnnamedTempFile("songdock-"));
    if (raw.Fd() < 0) return PcFailure(parent, errno);
    if (const Verified copied =
            CopyInto(parent, memory, number, raw.Fd(), target, playerName, size);
        copied.code != KD5200_ERR_NONE)
        return copied;
    bool same = false;
    if (const int code = ReadBack(parent, memory, number, raw.Fd(), playerName, size, same))
        return code == KD5200_ERR_CANCELLED ? Verified{code, false}
                                            : Unchecked(parent, target, code, true);
    if (!same) return Mismatch(parent, target, KD5200_ERR_FILE_WRITE);
    return Convert(parent, raw.Path(), target, conversion);
}

} // namespace device::detail
