#include "lib/maint/lcd_font.h"

#include <cstring>

#include "lib/device/device_layer.h"
#include "lib/device/device_watch.h"
#include "base/platform/file_dialog.h"
#include "base/platform/message_box.h"
#include "base/platform/paths.h"
#include "base/resources/strings.h"
#include "lib/settings/settings_store.h"

namespace maint {

namespace {

constexpr size_t kNameBuffer = 520;

using strings::Text;

// The open player, or null after saying that none is connected.
KD5200_HANDLE OpenHandle(void* owner) {
    KD5200_HANDLE const handle = DevGetHandle();
    if (!handle) DevApi().DispError(owner, KD5200_ERR_NOT_CONNECTED, 0);
    return handle;
}

// The font's name as the player reports it (at most 259 characters).
std::string FontFileName(const KD5200_FONTINFO& font) {
    return std::string(font.fileName, strnlen(font.fileName, 259));
}

// Whether the player changed since watch was made; then says so.
bool ChangedMeanwhile(void* owner, const device::PlayerWatch& watch) {
    const device::Change change = watch.Player();
    if (change == device::Change::kNone) return false;
    platform::MessageBox(owner, device::ChangeText(change, device::ChangeMoment::kQuestion), "",
                         platform::kMbOk | platform::kMbIconWarning);
    return true;
}

} // namespace

int DownloadLcdFont(void* owner, const CallScopeFactory& progress) {
    const auto& api = DevApi();
    KD5200_HANDLE const handle = OpenHandle(owner);
    if (!handle) return KD5200_ERR_NOT_CONNECTED;
    const device::PlayerWatch watch;
    KD5200_FONTINFO present{};
    if (api.GetFontInfo(handle, &present) &&
        DevAskOverwrite(FontFileName(present).c_str()) != platform::kIdYes)
        return KD5200_ERR_NONE;

    char remembered[kNameBuffer];
    settings::GetSongdockText(settings::kFontName, remembered, sizeof remembered);
    const auto chosen =
        platform::ShowOpenFileDialog(owner, Text(sid::kFontDownloadTitle), Text(sid::kFontFilter),
                                     remembered, platform::kFileMustExist);
    if (!chosen) return KD5200_ERR_CANCELLED;
    settings::WriteSongdockText(settings::kFontName, *chosen);
    // The player keeps the font's file name in its code page: one it cannot
    // write is refused before anything is written.
    if (!DevCheckPlayerName(owner, *chosen)) return KD5200_ERR_BAD_NAME;
    if (ChangedMeanwhile(owner, watch)) return KD5200_ERR_CANCELLED;

    DevSetStale(0, true);
    int error = KD5200_ERR_NONE;
    {
        const auto scope = OpenScope(progress, LongCall::kFontDownload);
        error = RunInScope(scope, [&] {
            return api.DownloadFont(owner, handle, chosen->c_str()) ? KD5200_ERR_NONE
                                                                    : api.GetError();
        });
    }
    if (error != KD5200_ERR_NONE && error != KD5200_ERR_CANCELLED)
        api.DispError(owner, error, api.GetWindowsError());
    return error;
}

int EraseLcdFont(void* owner) {
    const auto& api = DevApi();
    KD5200_HANDLE const handle = OpenHandle(owner);
    if (!handle) return KD5200_ERR_NOT_CONNECTED;
    DevSetStale(0, true);
    if (api.EraseFont(handle)) return KD5200_ERR_NONE;
    api.DispError(owner, 0, 0); // the library's last error
    return api.GetError();
}

int UploadLcdFont(void* owner, const std::string& folder, const CallScopeFactory& progress) {
    const auto& api = DevApi();
    KD5200_HANDLE const handle = OpenHandle(nullptr);
    if (!handle) return KD5200_ERR_NOT_CONNECTED;
    const device::PlayerWatch watch;
    KD5200_FONTINFO font{};
    if (!api.GetFontInfo(handle, &font)) {
        api.DispError(owner, 0, 0);
        return KD5200_ERR_NONE;
    }
    // The player's name is reduced to one file name, so that it cannot lead
    // out of the folder.
    const std::string path = DevTargetPath(folder.c_str(), FontFileName(font));
    if (platform::PathExists(path) && DevAskOverwrite(path.c_str()) != platform::kIdYes)
        return KD5200_ERR_CANCELLED;
    // The name and size were read before the question.
    if (ChangedMeanwhile(owner, watch)) return KD5200_ERR_CANCELLED;

    int result = KD5200_ERR_NONE;
    {
        const auto scope = OpenScope(progress, LongCall::kFontUpload);
        result = RunInScope(scope, [&] {
            return api.UploadFont(owner, handle, path.c_str(), 0, static_cast<int32_t>(font.size))
                       ? KD5200_ERR_NONE
                       : api.GetError();
        });
    }
    if (result != KD5200_ERR_NONE && result != KD5200_ERR_CANCELLED)
        api.DispError(owner, result, api.GetWindowsError());
    return result;
}

int ReadLcdFontInfo(KD5200_FONTINFO* record) {
    const auto& api = DevApi();
    KD5200_HANDLE const handle = OpenHandle(nullptr);
    if (!handle) return KD5200_ERR_NOT_CONNECTED;
    KD5200_FONTINFO font{};
    if (!api.GetFontInfo(handle, &font)) {
        api.DispError(nullptr, 0, 0);
        return api.GetError();
    }
    std::memset(record, 0, sizeof *record);
    std::memcpy(record->fileName, font.fileName, FontFileName(font).size());
    record->size = font.size;
    return KD5200_ERR_NONE;
}

} // namespace maint
