#include "lib/maint/raw_data.h"

#include <cstdint>

#include "lib/device/device_layer.h"
#include "lib/device/device_watch.h"
#include "base/platform/launcher.h"
#include "base/platform/message_box.h"
#include "base/platform/paths.h"
#include "base/resources/strings.h"
#include "lib/settings/settings_store.h"

namespace maint {

namespace {

constexpr size_t kPathBuffer = 260;
// A range of this many blocks or more is refused outright (4 GiB).
constexpr uint32_t kMaxBlocks = 0x40000;

void Notice(void* owner, int id) {
    const char* text = strings::Load(id);
    platform::MessageBox(owner, text ? text : "", "", platform::kMbOk);
}

// Starts the viewer on the saved file, when one is configured.
int OpenViewer(void* owner, const std::string& file) {
    char viewer[kPathBuffer];
    settings::GetSongdockText(settings::kRawDataViewer, viewer, sizeof viewer);
    if (!*viewer) return KD5200_ERR_NONE;
    if (!platform::PathExists(file)) {
        DevApi().DispError(owner, KD5200_ERR_FILE_NOT_FOUND, 2);
        return KD5200_ERR_NONE;
    }
    if (!platform::CurrentLauncher().RunProgram(viewer, file))
        platform::MessageBox(owner,
                             std::string(strings::Tr("The viewer cannot be started:\n")) + viewer +
                                 "\n\nChoose a program you may run in the Configuration.",
                             "", platform::kMbOk | platform::kMbIconWarning);
    return KD5200_ERR_NONE;
}

} // namespace

int DownloadRawData(void* owner, int memory, const CallScopeFactory& progress) {
    char file[kPathBuffer];
    settings::GetSongdockText(settings::kRawDataFileName, file, sizeof file);
    if (!*file) {
        Notice(owner, sid::kRawDataNotSpecified);
        return KD5200_ERR_NONE;
    }
    if (memory < 0) return OpenViewer(owner, file);

    const auto& api = DevApi();
    KD5200_HANDLE const handle = DevGetHandle();
    if (!handle) {
        api.DispError(owner, KD5200_ERR_NOT_CONNECTED, 0);
        return KD5200_ERR_NOT_CONNECTED;
    }
    // The sum is taken in 64 bits: a first block near 2^32 must not wrap
    // around into an accepted range.
    const settings::RawDataRange range = settings::GetRawDataRange();
    if (range.count >= kMaxBlocks ||
        uint64_t{range.addr} + range.count > DevGetCapacityBlocks(memory)) {
        Notice(owner, sid::kRawDataRangeExceeded);
        return KD5200_ERR_NONE;
    }

    bool read = true;
    if (platform::PathExists(file)) {
        const device::PlayerWatch watch;
        const int answer = DevAskOverwrite(file);
        if (answer == platform::kIdCancel) return KD5200_ERR_NONE;
        read = answer == platform::kIdYes;
        // The range was checked against the player that was there before.
        if (const device::Change change = read ? watch.Player() : device::Change::kNone;
            change != device::Change::kNone) {
            platform::MessageBox(owner, device::ChangeText(change, device::ChangeMoment::kQuestion),
                                 "", platform::kMbOk | platform::kMbIconWarning);
            return KD5200_ERR_CANCELLED;
        }
    }
    if (read) {
        int error = KD5200_ERR_NONE;
        {
            const auto scope = OpenScope(progress, LongCall::kRawDataRead);
            error = RunInScope(scope, [&] {
                return api.UploadRawData(owner, handle, memory, static_cast<int32_t>(range.addr),
                                         static_cast<int32_t>(range.count), file, 0,
                                         static_cast<int32_t>(range.count * KD5200_BLOCK_SIZE))
                           ? KD5200_ERR_NONE
                           : api.GetError();
            });
        }
        if (error == KD5200_ERR_CANCELLED) return error;
        if (error != KD5200_ERR_NONE) {
            api.DispError(owner, error, api.GetWindowsError());
            return error;
        }
    }
    return OpenViewer(owner, file);
}

} // namespace maint
