#include "lib/maint/firmware_upgrade.h"

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <vector>

#include "lib/device/device_layer.h"
#include "lib/device/device_watch.h"
#include "lib/hex/hex_image_problems.h"
#include "lib/hex/hex_to_image.h"
#include "base/platform/descriptors.h"
#include "base/platform/error_text.h"
#include "base/platform/file_dialog.h"
#include "base/platform/folder_files.h"
#include "base/platform/message_box.h"
#include "base/platform/paths.h"
#include "base/platform/temp_file.h"
#include "base/resources/strings.h"
#include "lib/settings/settings_store.h"

namespace maint {

namespace {

constexpr size_t kNameBuffer = 520;

using strings::Text;

// Converts the HEX file into a new temporary image; on failure shows why,
// naming the file, and removes the image.
bool ConvertToTemporaryImage(void* parent, const std::string& hexPath, uint32_t base,
                             const std::string& caption, const CallScopeFactory& progress,
                             std::string& image, HexImageReport& report) {
    image = platform::CreateTempFile("$520");
    std::string why;
    if (image.empty()) {
        why = strings::Tr("no temporary file can be created in ") + platform::TempDir() + ": " +
              platform::SystemErrorText(platform::LastSystemError());
    } else {
        bool converted = false;
        {
            const auto scope = OpenScope(progress, LongCall::kHexConversion);
            converted = ConvertHexToImage(hexPath, image, base, report);
        }
        if (converted) return true;
        why = HexImageErrorText(report.error);
        platform::RemoveFile(image);
        image.clear();
    }
    platform::MessageBox(parent,
                         strings::Tr("Cannot convert the Intel HEX file\n") + hexPath +
                             "\ninto a firmware image: " + why + ".\n\nThe player was not changed.",
                         caption, platform::kMbOk | platform::kMbIconWarning);
    return false;
}

// A finding of the conversion as told before the write: damaged records are
// written as read only once the person agrees, so the line does not say so.
std::string AsQuestion(std::string line) {
    constexpr std::string_view kWritten = "; written as read";
    if (line.ends_with(kWritten)) line.resize(line.size() - kWritten.size());
    return line;
}

// Tells the person what the conversion left out or found damaged, and asks
// before the write; an empty image is refused. True when the write may go
// on. Cancel is the default answer: a damaged image can leave the player
// unable to start.
bool ConfirmImage(void* parent, const std::string& path, const HexImageReport& report,
                  const std::string& caption) {
    const std::vector<std::string> warnings = HexImageWarnings(path, report);
    std::string text;
    for (const std::string& line : warnings)
        text += AsQuestion(line) + "\n";
    if (report.imageSize == 0) {
        // The warnings, if any, tell why nothing was read.
        platform::MessageBox(parent,
                             HexEmptyImageText(path, report) + ".\n" + text +
                                 "\nThe player was not changed.",
                             caption, platform::kMbOk | platform::kMbIconWarning);
        return false;
    }
    if (warnings.empty()) return true;
    if (report.warnings.Any())
        text += strings::Tr("\nWritten anyway, the damaged records go to the player as they were "
                            "read, which can leave it unable to start.");
    text += strings::Tr("\nWrite the firmware anyway?");
    return platform::MessageBox(parent, text, caption,
                                platform::kMbOkCancel | platform::kMbIconWarning |
                                    platform::kMbDefaultButton2) == platform::kIdOk;
}

// Refuses a file that is not HEX and holds no byte.
bool ConfirmRawImage(void* parent, const std::string& path, const std::string& caption) {
    std::error_code ec;
    if (std::filesystem::file_size(platform::FsPath(path), ec) != 0 || ec) return true;
    platform::MessageBox(parent,
                         path + strings::Tr(": the firmware image is empty (0 bytes).\n\nThe "
                                            "player was not changed."),
                         caption, platform::kMbOk | platform::kMbIconWarning);
    return false;
}

} // namespace

bool IsHexFileName(const std::string& path) {
    const size_t mark = path.find_last_of("./");
    if (mark == std::string::npos || path[mark] != '.') return false;
    const std::string ext = path.substr(mark + 1);
    if (ext.size() != 3) return false;
    const char* hex = "hex";
    for (size_t i = 0; i < 3; ++i)
        if ((ext[i] | 0x20) != hex[i]) return false;
    return true;
}

int UpgradeCode(void* parent, KD5200_HANDLE handle, int boot, const CallScopeFactory& progress) {
    const auto& api = DevApi();
    if (!handle) {
        api.DispError(parent, KD5200_ERR_NOT_CONNECTED, 0);
        return KD5200_ERR_NOT_CONNECTED;
    }
    const std::string title = Text(boot ? sid::kBootUpgrade : sid::kCodecUpgrade);
    // The file dialog and the questions let the player change meanwhile.
    const device::PlayerWatch watch;
    const char* nameKey = boot ? settings::kBootCodeName : settings::kCodecCodeName;
    char remembered[kNameBuffer];
    settings::GetSongdockText(nameKey, remembered, sizeof remembered);
    const auto chosen = platform::ShowOpenFileDialog(parent, title, Text(sid::kHexFilter),
                                                     remembered, platform::kFileMustExist);
    if (!chosen) return KD5200_ERR_CANCELLED;
    // Remembered whatever comes of the upgrade, so that a retry starts here.
    settings::WriteSongdockText(nameKey, *chosen);
    // The player records the chosen file's path in its code page; one it
    // cannot write is refused before anything is made or written.
    std::string chosenBytes;
    if (!DevPathToPlayer(parent, *chosen, chosenBytes)) return kUpgradeNotAttempted;

    std::string image = *chosen;
    std::string temporary;
    if (IsHexFileName(*chosen)) {
        HexImageReport report;
        if (!ConvertToTemporaryImage(parent, *chosen, boot ? kBootCodeBase : kApplicationCodeBase,
                                     title, progress, temporary, report))
            return kUpgradeNotAttempted;
        // Nothing captured before the question is used after it but the file names.
        if (!ConfirmImage(parent, *chosen, report, title)) {
            platform::RemoveFile(temporary);
            return report.imageSize == 0 ? kUpgradeNotAttempted : KD5200_ERR_CANCELLED;
        }
        image = temporary;
    } else if (!ConfirmRawImage(parent, *chosen, title)) {
        return kUpgradeNotAttempted;
    }

    if (const device::Change change = watch.Player(); change != device::Change::kNone) {
        if (!temporary.empty()) platform::RemoveFile(temporary);
        platform::MessageBox(parent, device::ChangeText(change, device::ChangeMoment::kQuestion),
                             title, platform::kMbOk | platform::kMbIconWarning);
        return kUpgradeNotAttempted;
    }

    // The write takes long: the receive time-out becomes the format time-out.
    const settings::Timeouts timeouts = DevGetTimeouts();
    api.SetTimeout(timeouts.format, timeouts.send);
    int error = KD5200_ERR_NONE;
    {
        const auto scope = OpenScope(progress, LongCall::kFirmwareWrite);
        const int romSelect = settings::GetROMSelect();
        error = RunInScope(scope, [&] {
            return api.UpgradeFirmware(parent, handle,
                                       boot ? KD5200_TARGET_BOOT : KD5200_TARGET_APPLICATION,
                                       romSelect, image.c_str(), chosenBytes.c_str())
                       ? KD5200_ERR_NONE
                       : api.GetError();
        });
    }
    api.SetTimeout(timeouts.receive, timeouts.send);
    if (error != KD5200_ERR_NONE && error != KD5200_ERR_CANCELLED)
        api.DispError(parent, error, api.GetWindowsError());
    DevSetStale(0, true);
    DevSetStale(1, true);
    if (!temporary.empty()) platform::RemoveFile(temporary);
    return error;
}

int UpgradeApplicationCode(void* parent, const CallScopeFactory& progress) {
    return UpgradeCode(parent, DevGetHandle(), 0, progress);
}

int UpgradeBootCode(void* parent, const CallScopeFactory& progress) {
    return UpgradeCode(parent, DevGetHandle(), 1, progress);
}

} // namespace maint
