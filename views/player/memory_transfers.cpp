#include "views/player/memory_transfers.h"

#include "base/platform/modal_depth.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <utility>

#include <wx/window.h>

#include "base/platform/folder_files.h"
#include "base/platform/free_space.h"
#include "base/platform/message_box.h"
#include "base/resources/strings.h"
#include "lib/device/device_layer.h"
#include "lib/device/device_progress.h"
#include "lib/device/device_watch.h"
#include "lib/lists/name_list.h"
#include "lib/lists/system_error.h"
#include "ui/panes/transfer_progress.h"
#include "views/player/copy_options.h"
#include "views/player/dropped_files.h"

namespace player {

namespace {

std::vector<device::ShownEntry> ShownEntries(const HNameList& list) {
    std::vector<device::ShownEntry> entries;
    for (const HNameList::Entry& entry : list)
        entries.push_back({entry.value1, entry.name, entry.value2});
    return entries;
}

} // namespace

MemoryTransfers::MemoryTransfers(wxWindow* owner, std::string title)
    : owner_(owner), title_(std::move(title)) {}

MemoryTransfers::Outcome MemoryTransfers::Refused(const std::string& text) const {
    platform::MessageBox(owner_, text, strings::Text(sid::kAppTitle),
                         platform::kMbOk | platform::kMbIconWarning);
    return {KD5200_ERR_CANCELLED, {}, true};
}

bool MemoryTransfers::CheckPaths(
    const HNameList& list, const std::function<bool(const std::string&)>& refuseDirectory) const {
    for (const HNameList::Entry& entry : list) {
        const PathCheck check = CheckDownloadPath(entry.name);
        switch (check.problem) {
        case PathProblem::None:
            break;
        case PathProblem::TooLong:
        case PathProblem::Unreadable:
            ShowSystemError(check.error, static_cast<void*>(owner_));
            return false;
        case PathProblem::Directory:
            if (!refuseDirectory(entry.name)) return false;
            break;
        }
    }
    return true;
}

bool MemoryTransfers::ChooseFitting(const Room& room, const HNameList& list, HNameList& chosen,
                                    std::vector<TransferMeter::File>& files, bool& asked) const {
    std::vector<uint64_t> sizes;
    for (const TransferMeter::File& file : files)
        sizes.push_back(file.size);
    const SpacePlan plan = DevPlanSpace(sizes, room);
    asked = !plan.fitsAll;
    if (!plan.fitsAll) {
        if (plan.fitting.empty()) {
            platform::MessageBox(owner_, NoSpaceText(plan, room), title_,
                                 platform::kMbOk | platform::kMbIconWarning);
            return false;
        }
        if (platform::MessageBox(owner_, SpaceQuestion(plan, room, files.size()), title_,
                                 platform::kMbOkCancel | platform::kMbIconWarning) !=
            platform::kIdOk)
            return false;
    }
    std::vector<TransferMeter::File> kept;
    size_t index = 0, next = 0;
    for (const HNameList::Entry& entry : list) {
        if (next < plan.fitting.size() && plan.fitting[next] == index) {
            chosen.Add(entry.name.c_str(), entry.value1, entry.value2,
                       entry.second ? entry.second->c_str() : nullptr);
            kept.push_back(std::move(files[index]));
            ++next;
        }
        ++index;
    }
    files = std::move(kept);
    return true;
}

MemoryTransfers::Outcome MemoryTransfers::WithProgress(
    const char* operation, std::vector<TransferMeter::File> files, bool verify,
    const std::function<int(const device::ProgressHandler&)>& call) const {
    const auto start = std::chrono::steady_clock::now();
    const auto askedBefore = platform::TimeAsking();
    app::TransferProgress progress(owner_, wxString::FromUTF8(title_));
    // The library reports each file on its own; the meter turns that into
    // the whole transfer before the dialog sees it.
    TransferMeter meter(std::move(files), verify);
    int result;
    {
        // The dialog names the job's direction throughout, also while a copy
        // is read back to verify it.
        std::optional<device::ProgressGuard> whole;
        whole.emplace([&](KD5200_HWND parent, const char*, device::ProgressPhase phase,
                          int64_t done, int64_t total) {
            const TransferMeter::Position at =
                meter.Report(done, total, phase == device::ProgressPhase::kCheck);
            progress.SetDetail(meter.Describe(at));
            const bool stop =
                whole->Outer(parent, operation, device::ProgressPhase::kWork,
                             static_cast<int64_t>(at.done), static_cast<int64_t>(at.total));
            if (stop) meter.Refused();
            return stop;
        });
        // Off the window thread: the window and the screen reader go on.
        result = progress.RunCopy(call);
    }
    meter.Confirm(static_cast<size_t>(DevGetFilesCopied()));
    const bool cancelled = progress.Cancelled() || result == KD5200_ERR_CANCELLED;
    progress.Finish();
    using Ending = TransferMeter::Ending;
    // The time the copy took, without the time its questions waited for an
    // answer (an overwrite question, say).
    const double seconds = std::chrono::duration<double>(
                               std::chrono::steady_clock::now() - start -
                               (platform::TimeAsking() - askedBefore))
                               .count();
    const Ending ending = cancelled ? Ending::kCancelled : result ? Ending::kFailed : Ending::kDone;
    return {result, meter.Summary(ending, seconds),
            result == KD5200_ERR_NO_ENTRY || result == KD5200_ERR_REPLUGGED};
}

MemoryTransfers::Outcome MemoryTransfers::DownloadFiles(int memory, const HNameList& list) {
    std::vector<TransferMeter::File> files;
    for (const HNameList::Entry& entry : list) {
        std::error_code error;
        const auto size = std::filesystem::file_size(platform::FsPath(entry.name), error);
        files.push_back({FileNamePart(entry.name), error ? 0 : static_cast<uint64_t>(size)});
    }
    // The memory as it is now: another program may have filled it since it
    // was listed. What fits is worked out from it; a question about it is
    // answered for that memory only.
    const device::PlayerWatch watch;
    const std::vector<device::ShownEntry> before = device::ListedEntries(memory);
    HNameList chosen;
    if (DevRoom room; DevGetRoom(memory, &room)) {
        bool asked = false;
        if (!ChooseFitting(room, list, chosen, files, asked)) return {KD5200_ERR_CANCELLED, {}};
        if (asked)
            if (const device::Change change = watch.Memory(memory, before);
                change != device::Change::kNone)
                return Refused(device::ChangeText(change, device::ChangeMoment::kQuestion));
    }
    const HNameList& send = chosen.IsEmpty() ? list : chosen;
    DevCopyOptions options = CopyOptions();
    return WithProgress("download", std::move(files), options.verify,
                        [&](const device::ProgressHandler& progress) {
                            options.progress = progress;
                            return DevDownloadFiles(owner_, memory, send, options).code;
                        });
}

MemoryTransfers::Outcome MemoryTransfers::UploadFiles(int memory, const std::string& folder,
                                                      const HNameList& list) {
    // The files as the person saw them: another program may have changed
    // the player since they were listed.
    const device::PlayerWatch watch;
    if (const device::Change change = watch.Entries(memory, ShownEntries(list));
        change != device::Change::kNone)
        return Refused(device::ChangeText(change, device::ChangeMoment::kListing));
    std::vector<TransferMeter::File> files;
    for (const HNameList::Entry& entry : list)
        files.push_back({entry.name, entry.value2});
    HNameList chosen;
    if (const auto space = folder.empty() ? std::nullopt : platform::FolderFreeSpace(folder)) {
        const Room room{space->blockSize, space->freeBlocks, -1};
        bool asked = false;
        if (!ChooseFitting(room, list, chosen, files, asked)) return {KD5200_ERR_CANCELLED, {}};
        if (asked)
            if (const device::Change change = watch.Entries(memory, ShownEntries(chosen));
                change != device::Change::kNone)
                return Refused(device::ChangeText(change, device::ChangeMoment::kQuestion));
    }
    const HNameList& send = chosen.IsEmpty() ? list : chosen;
    DevCopyOptions options = CopyOptions();
    Outcome outcome = WithProgress(
        "upload", std::move(files), options.verify, [&](const device::ProgressHandler& progress) {
            options.progress = progress;
            return DevUploadFiles(owner_, memory, folder.empty() ? nullptr : folder.c_str(), send,
                                  options)
                .code;
        });
    TellEscapedNames();
    return outcome;
}

void MemoryTransfers::TellEscapedNames() const {
    const std::vector<DevEscapedName>& names = DevGetEscapedNames();
    if (names.empty()) return;
    const char* format = strings::Tr(text::kNamesEscaped);
    std::vector<char> text(std::char_traits<char>::length(format) + DevGetCodePage().size() + 1);
    std::snprintf(text.data(), text.size(), format, DevGetCodePage().c_str());
    // The box stays within the screen: a long list ends in "…".
    constexpr size_t kShown = 12;
    std::string list;
    for (size_t i = 0; i < names.size() && i < kShown; ++i)
        list += (list.empty() ? "" : "\n") + names[i].shown + " \u2192 " + names[i].pcName;
    if (names.size() > kShown) list += "\n\u2026";
    platform::MessageBox(owner_, platform::WithSecondaryText(text.data(), list), title_,
                         platform::kMbOk | platform::kMbIconInformation);
}

} // namespace player
