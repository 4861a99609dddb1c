#include "lib/device/device_verify.h"

#include "lib/device/device_state.h"
#include "lib/lists/dir_entry_list.h"
#include "lib/device/device_layer.h"
#include "lib/voice/voice_convert.h"
#include "base/platform/atomic_file.h"
#include "base/platform/message_box.h"
#include "base/platform/paths.h"
#include "base/platform/pipe_compare.h"
#include "base/platform/temp_file.h"
#include "base/resources/strings.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using device::Api;
using device::detail::S;

namespace device::detail {

namespace {

// A temporary file, removed with this object.
class Scratch {
public:
    Scratch() : path_(platform::CreateTempFile("songdock-verify-")) {}
    ~Scratch() {
        if (!path_.empty()) unlink(path_.c_str());
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// While a copy is read back, its reports go out as the check of the copied
// file; the user may still cancel.
class ReadBackProgress {
public:
    ReadBackProgress() : outer_(DevSetProgressHandler(nullptr)) {
        DevSetProgressHandler(
            [this](KD5200_HWND parent, const char*, int64_t done, int64_t total) {
                return outer_ && outer_(parent, kDevCheckOperation, done, total);
            });
    }
    ~ReadBackProgress() { DevSetProgressHandler(std::move(outer_)); }
    ReadBackProgress(const ReadBackProgress&) = delete;
    ReadBackProgress& operator=(const ReadBackProgress&) = delete;
    // For the conversion: whether to stop.
    bool Cancelled(int64_t total) {
        return outer_ && outer_(nullptr, kDevCheckOperation, total, total);
    }

private:
    ProgressHandler outer_;
};

bool RegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A scratch file could not be made: shown as a failed write to the PC.
Verified NoScratch(KD5200_HWND parent) {
    Api().DispError(parent, KD5200_ERR_FILE_WRITE, errno);
    return {KD5200_ERR_FILE_WRITE, true};
}

// The message of a copy that differs from its source; the file is named.
Verified Mismatch(KD5200_HWND parent, const std::string& file, int code) {
    platform::MessageBox(parent, platform::WithSecondaryText(strings::Tr(text::kVerifyFailed), file),
                         strings::Text(sid::kAppTitle), platform::kMbOk | platform::kMbIconError);
    return {code, true};
}

// Reads entry number of the memory raw into path; the library's code.
int ReadBack(KD5200_HWND parent, int memory, int number, const std::string& path,
             const char* playerName, uint32_t size) {
    ReadBackProgress progress;
    if (Api().Upload(parent, S().handle, memory, number, path.c_str(), playerName, size,
                     KD5200_CONVERT_NONE))
        return KD5200_ERR_NONE;
    const int code = Api().GetError();
    return code != KD5200_ERR_NONE ? code : KD5200_ERR_FILE_READ;
}

int ConversionProgress(long, long total, void* user) {
    return static_cast<ReadBackProgress*>(user)->Cancelled(total) ? 1 : 0;
}

// Converts the checked raw copy at raw into target, which appears whole or
// not at all.
Verified Convert(KD5200_HWND parent, const std::string& raw, const std::string& target,
                 int conversion) {
    platform::AtomicFile output;
    if (const int error = output.Create(target)) {
        Api().DispError(parent, KD5200_ERR_FILE_WRITE, error);
        return {KD5200_ERR_FILE_WRITE, true};
    }
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
        Api().DispError(parent, KD5200_ERR_FILE_WRITE, commit);
        return {KD5200_ERR_FILE_WRITE, true};
    }
    Api().DispError(parent, KD5200_ERR_CONVERSION, 0);
    return {KD5200_ERR_CONVERSION, true};
}

} // namespace

Verified VerifyDownload(KD5200_HWND parent, int memory, const std::string& pcPath) {
    HDirEntryList listing;
    if (!DevListFiles(memory, listing, true) || listing.IsEmpty())
        return {S().handle ? KD5200_ERR_NO_ENTRY : KD5200_ERR_NOT_CONNECTED, false};
    // A download adds its entry at the end of the directory.
    HDirEntryList::Entry added;
    for (const HDirEntryList::Entry& entry : listing)
        if (entry.number >= added.number) added = entry;
    platform::PipeCompare copy(pcPath);
    if (copy.Path().empty()) return NoScratch(parent);
    // The list's names are the player's display names.
    const char* shown = added.name ? added.name->c_str() : "";
    if (const int code = ReadBack(parent, memory, added.number, copy.Path(), nullptr, added.size)) {
        // Stopped by the user: the file being copied goes, as when a copy is
        // stopped part-way.
        if (code == KD5200_ERR_CANCELLED)
            Api().Delete(parent, S().handle, memory, added.number, shown);
        return {code, false};
    }
    if (copy.Same()) return {};
    Api().Delete(parent, S().handle, memory, added.number, shown);
    return Mismatch(parent, pcPath, KD5200_ERR_STORAGE);
}

Verified VerifiedUpload(KD5200_HWND parent, int memory, int number, const std::string& target,
                        const char* playerName, uint32_t size, int conversion) {
    const bool checkable = !platform::PathExists(target) || RegularFile(target);
    if (!checkable) {
        if (Api().Upload(parent, S().handle, memory, number, target.c_str(), playerName, size,
                         conversion))
            return {};
        return {Api().GetError(), false};
    }
    if (conversion == KD5200_CONVERT_NONE) {
        if (!Api().Upload(parent, S().handle, memory, number, target.c_str(), playerName, size,
                          KD5200_CONVERT_NONE))
            return {Api().GetError(), false};
        platform::PipeCompare second(target);
        if (second.Path().empty()) {
            const Verified failed = NoScratch(parent);
            unlink(target.c_str());
            return failed;
        }
        if (const int code = ReadBack(parent, memory, number, second.Path(), playerName, size)) {
            if (code == KD5200_ERR_CANCELLED) unlink(target.c_str());
            return {code, false};
        }
        if (second.Same()) return {};
        unlink(target.c_str());
        return Mismatch(parent, target, KD5200_ERR_FILE_WRITE);
    }
    // A converting copy: the raw copy that is converted is the one checked.
    Scratch raw;
    if (raw.Path().empty()) return NoScratch(parent);
    if (!Api().Upload(parent, S().handle, memory, number, raw.Path().c_str(), playerName, size,
                      KD5200_CONVERT_NONE))
        return {Api().GetError(), false};
    platform::PipeCompare second(raw.Path());
    if (second.Path().empty()) return NoScratch(parent);
    if (const int code = ReadBack(parent, memory, number, second.Path(), playerName, size))
        return {code, false};
    if (!second.Same()) return Mismatch(parent, target, KD5200_ERR_FILE_WRITE);
    return Convert(parent, raw.Path(), target, conversion);
}

} // namespace device::detail
