// Replace by temporary name, and the recovery of replaces killed part-way.
#include "lib/device/device_replace.h"

#include "lib/device/device_compare.h"
#include "lib/device/device_layer.h"
#include "lib/device/device_progress.h"
#include "lib/device/device_state.h"
#include "base/platform/folder_files.h"
#include "base/platform/open_file.h"
#include "base/platform/paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <utility>
#include <vector>

using device::Api;
using device::detail::PlayerName;
using device::detail::ReadDirectory;
using device::detail::Report;
using device::detail::S;

namespace {

constexpr char kMark[] = "~kd";
constexpr size_t kMarkLength = 3;
// The longest name the player takes, in bytes.
constexpr size_t kLongestName = 255;
constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";

std::string Base36(uint64_t value, size_t width) {
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value % 36]);
        value /= 36;
    } while (value > 0);
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    return text;
}

int Digit36(char c) {
    const char* at = std::strchr(kDigits, c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return c != '\0' && at ? static_cast<int>(at - kDigits) : -1;
}

std::string MarkedName(char state, int position, long pid, const std::string& tail) {
    return kMark + std::string(1, state) + Base36(static_cast<uint64_t>(position), 2) +
           Base36(static_cast<uint64_t>(pid), 0) + "~" + tail;
}

// What a temporary name says.
struct Marked {
    char state = 0;
    int position = 0;
    long pid = 0;
    std::string tail;
};

bool ParseMarked(const std::string& name, Marked& out) {
    if (name.size() < kMarkLength + 5 || name.compare(0, kMarkLength, kMark) != 0) return false;
    out.state = name[kMarkLength];
    if (out.state != 'c' && out.state != 'r') return false;
    const int high = Digit36(name[kMarkLength + 1]);
    const int low = Digit36(name[kMarkLength + 2]);
    if (high < 0 || low < 0) return false;
    out.position = high * 36 + low;
    const size_t tilde = name.find('~', kMarkLength + 3);
    if (tilde == std::string::npos || tilde == kMarkLength + 3 || tilde > kMarkLength + 9)
        return false;
    out.pid = 0;
    for (size_t i = kMarkLength + 3; i < tilde; ++i) {
        const int digit = Digit36(name[i]);
        if (digit < 0) return false;
        out.pid = out.pid * 36 + digit;
    }
    out.tail = name.substr(tilde + 1);
    return out.pid > 0 && out.position < KD5200_MAX_ENTRIES && !out.tail.empty();
}

// Whether the process that wrote a temporary name still runs on this PC (a
// process that ended but was not yet collected by its parent does not).
bool OwnerRuns(long pid) {
    return platform::ProcessRuns(pid);
}

// The folder of the PC-side name under which a writer stores its copy.
std::string LinkFolder(long pid) {
    return platform::TempDir() + "/kd5200-put-" + std::to_string(pid);
}

// Removes what a writer left of its PC-side name.
void RemoveLinkOf(long pid) {
    const std::string folder = LinkFolder(pid);
    // The folder holds at most the one link.
    std::vector<platform::FolderEntry> entries;
    if (platform::ListFolder(folder, entries) == 0)
        for (const platform::FolderEntry& entry : entries)
            platform::RemoveName(folder + "/" + entry.name);
    platform::RemoveEmptyFolder(folder);
}

// Removes what writers that no longer run left of their PC-side names.
void RemoveDeadLinks() {
    // Names only: the temporary folder may hold thousands of entries. Only a
    // writer sweeps, once a process: a killed writer's folder waits for the
    // next one, and a process that only reads never pays for the listing.
    static bool swept = false;
    if (std::exchange(swept, true)) return;
    std::vector<std::string> names;
    if (platform::ListNames(platform::TempDir(), names) != 0) return;
    constexpr char kPrefix[] = "kd5200-put-";
    std::vector<long> dead;
    for (const std::string& name : names) {
        if (std::strncmp(name.c_str(), kPrefix, sizeof kPrefix - 1) != 0) continue;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + sizeof kPrefix - 1, &end, 10);
        if (pid > 0 && *end == '\0' && !OwnerRuns(pid)) dead.push_back(pid);
    }
    for (const long pid : dead)
        RemoveLinkOf(pid);
}

// The PC file under the temporary name the library gives the player's copy
// (it names a stored file after the PC file): a link in a folder of this
// process's own, removed once the library has the file open.
class PcLink {
public:
    PcLink(const std::string& source, const std::string& name) {
        folder_ = LinkFolder(platform::ProcessId());
        RemoveDeadLinks();
        RemoveLinkOf(platform::ProcessId());
        std::error_code error;
        const std::string target =
            platform::PathText(std::filesystem::canonical(platform::FsPath(source), error));
        if (error) {
            error_ = error.value();
            return;
        }
        if ((error_ = platform::MakeFolder(folder_, true)) != 0) return;
        path_ = folder_ + "/" + name;
        if ((error_ = platform::AddName(target, path_)) != 0) {
            platform::RemoveEmptyFolder(folder_);
            removed_ = true;
        }
    }
    ~PcLink() { Remove(); }
    PcLink(const PcLink&) = delete;
    PcLink& operator=(const PcLink&) = delete;

    int Error() const { return error_; }
    const std::string& Path() const { return path_; }
    void Remove() {
        if (std::exchange(removed_, true)) return;
        if (!path_.empty()) platform::RemoveName(path_);
        platform::RemoveEmptyFolder(folder_);
    }

private:
    std::string folder_;
    std::string path_;
    int error_ = 0;
    bool removed_ = false;
};

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Names compared as the player compares them: ASCII letters in any case.
bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

std::string Field(const char* field, size_t size) {
    std::string text(field, strnlen(field, size));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// The entry of the cached directory with exactly these name bytes, or -1.
int Named(int memory, const std::string& bytes) {
    for (int number = 0; number < S().memories[memory].count; ++number)
        if (PlayerName(memory, number) == bytes) return number;
    return -1;
}

// The entry other than self that holds name as the player compares names
// (its long or its short name), or -1.
int Holder(int memory, const std::string& name, int self) {
    const auto& cache = S().memories[memory];
    for (int number = 0; number < cache.count; ++number) {
        if (number == self) continue;
        const KD5200_DIRENTRY& entry = cache.entries[static_cast<size_t>(number)];
        std::string shortName = Field(entry.name, sizeof entry.name);
        const std::string ext = Field(entry.ext, sizeof entry.ext);
        if (!ext.empty()) shortName += "." + ext;
        if (SameName(shortName, name) ||
            SameName(std::string(entry.longName, strnlen(entry.longName, sizeof entry.longName)),
                     name))
            return number;
    }
    return -1;
}

int LibraryCode() {
    const int code = Api().GetError();
    return code != KD5200_ERR_NONE ? code : KD5200_ERR_STORAGE;
}

// Why the memory's directory could not be read: the library's own code
// (an unplugged player, say) rather than the layer's summary.
int ReadFailure(int memory) {
    if (!S().handle) return KD5200_ERR_NOT_CONNECTED;
    const int code = S().memories[memory].readError;
    return code != KD5200_ERR_NONE ? code : LibraryCode();
}

// The last steps of a replace, from a copy that is whole and checked under
// readyName: the old file of that name goes, the copy moves to position
// and takes the name. Each step reads the directory anew, so that the steps
// may be taken again from wherever a killed run stopped.
int Finish(int memory, const std::string& readyName, int position, const std::string& name) {
    const KD5200_HANDLE handle = S().handle;
    if (!ReadDirectory(memory)) return ReadFailure(memory);
    int at = Named(memory, readyName);
    if (at < 0) return KD5200_ERR_NO_ENTRY;
    if (const int old = Holder(memory, name, at); old >= 0) {
        if (!Api().Delete(nullptr, handle, memory, old, PlayerName(memory, old).c_str()))
            return LibraryCode();
        if (!ReadDirectory(memory)) return ReadFailure(memory);
        if ((at = Named(memory, readyName)) < 0) return KD5200_ERR_NO_ENTRY;
    }
    const int target = std::min(position, S().memories[memory].count - 1);
    for (; at != target; at += at > target ? -1 : 1)
        if (!Api().Replace(handle, memory, at, at > target ? at - 1 : at + 1))
            return LibraryCode();
    if (!Api().Rename(handle, memory, at, name.c_str(),
                      &S().memories[memory].entries[static_cast<size_t>(at)]))
        return LibraryCode();
    S().memories[memory].stale = true;
    return KD5200_ERR_NONE;
}

// Deletes the temporary copy under copyName when the player still answers;
// whether it stays (known to be there, or maybe there when stored).
bool Discard(int memory, const std::string& copyName, bool stored) {
    S().memories[memory].stale = true;
    if (!S().handle || !ReadDirectory(memory)) return stored;
    const int at = Named(memory, copyName);
    if (at < 0) return false;
    return !Api().Delete(nullptr, S().handle, memory, at, copyName.c_str());
}

} // namespace

namespace device::detail {

bool RecoverReplaces(int memory) {
    // The recovery's own reads of the directory do not recover again.
    static bool busy = false;
    if (busy || !S().handle) return false;
    busy = true;
    bool changed = false;
    std::set<std::string> tried;
    for (int number = 0; number < S().memories[memory].count; ++number) {
        const std::string name = PlayerName(memory, number);
        Marked marked;
        if (!ParseMarked(name, marked) || tried.count(name) || OwnerRuns(marked.pid)) continue;
        tried.insert(name);
        RemoveLinkOf(marked.pid);
        // A copy not yet checked goes (the old file still has its place); a
        // checked one takes the old file's name and place.
        if (marked.state == 'c')
            Api().Delete(nullptr, S().handle, memory, number, name.c_str());
        else
            Finish(memory, name, marked.position, marked.tail);
        changed = true;
        // The numbers moved: the directory is read again and gone through anew.
        if (!ReadDirectory(memory)) break;
        number = -1;
    }
    busy = false;
    if (changed) S().memories[memory].stale = true;
    return changed;
}

} // namespace device::detail

DevReplaceResult DevReplaceFile(KD5200_HWND parent, int memory, const device::ShownEntry& old,
                                const std::string& pcPath, bool verify,
                                const device::PlayerWatch& watch,
                                const device::ProgressHandler& progress) {
    std::optional<device::ProgressGuard> reports;
    if (progress) reports.emplace(progress);
    DevReplaceResult result;
    if (const int code = device::detail::Prepare(parent, memory)) {
        result.code = code;
        return result;
    }
    if (const device::Change change = watch.Entries(memory, {old});
        change != device::Change::kNone) {
        result.code = device::ChangeCode(change);
        Report(parent, result.code, 0);
        return result;
    }
    const std::string base = DevPcBaseName(pcPath);
    std::string name;
    if (!DevNameToPlayer(base, name)) {
        DevCheckPlayerName(parent, pcPath);
        result.code = KD5200_ERR_BAD_NAME;
        return result;
    }
    const long pid = platform::ProcessId();
    const std::string copyName = MarkedName('c', old.number, pid, "copy");
    const std::string readyName = MarkedName('r', old.number, pid, name);
    if (readyName.size() > kLongestName) {
        result.code = KD5200_ERR_BAD_NAME;
        result.tooLong = true;
        return result;
    }
    // The PC file as it is copied: the check compares with the same file.
    const platform::OpenFile source(platform::OpenForReading(pcPath));
    platform::FileStamp st;
    if (source.Fd() < 0 || !platform::StampOf(source.Fd(), st)) {
        const int error = errno;
        result.code = error == ENOENT ? KD5200_ERR_FILE_NOT_FOUND : KD5200_ERR_FILE_READ;
        Report(parent, result.code, error);
        return result;
    }

    // The copy, under its temporary name.
    bool ok = false;
    {
        PcLink link(pcPath, copyName);
        if (link.Error()) {
            result.code = KD5200_ERR_FILE_READ;
            Report(parent, result.code, link.Error());
            return result;
        }
        const device::MessageSubject subject(link.Path(), pcPath);
        // Once the library reports, it has the file open: the link goes, so
        // that a run killed meanwhile leaves nothing on the PC.
        bool opened = false;
        device::ProgressGuard guard([&](KD5200_HWND owner, const char* operation,
                                        device::ProgressPhase phase, int64_t done, int64_t total) {
            if (opened) link.Remove();
            return guard.Outer(owner, operation, phase, done, total);
        });
        if (device::ReportStart(parent, "download", static_cast<int64_t>(st.size))) {
            result.code = KD5200_ERR_CANCELLED;
            return result;
        }
        opened = true; // from the library's first report on
        ok = Api().Download(parent, S().handle, memory, link.Path().c_str()) != 0;
    }
    S().memories[memory].stale = true;
    if (!ok) {
        result.code = LibraryCode();
        Report(parent, result.code, Api().GetWindowsError());
        result.leftover = Discard(memory, copyName, false);
        return result;
    }
    if (!ReadDirectory(memory)) {
        result.code = ReadFailure(memory);
        Report(parent, result.code, 0);
        result.leftover = true;
        return result;
    }
    const int at = Named(memory, copyName);
    if (at < 0 || S().memories[memory].entries[static_cast<size_t>(at)].size !=
                      static_cast<uint32_t>(st.size)) {
        // Another program changed the memory meanwhile.
        result.code = KD5200_ERR_NO_ENTRY;
        result.leftover = Discard(memory, copyName, true);
        return result;
    }
    if (verify) {
        bool same = false;
        result.code = DevCompareEntryWithFile(parent, memory, at, static_cast<uint32_t>(st.size),
                                              nullptr, source.Fd(), same);
        if (result.code == KD5200_ERR_NONE && !same) {
            result.code = KD5200_ERR_STORAGE;
            result.differs = true;
        } else if (result.code != KD5200_ERR_NONE) {
            Report(parent, result.code, Api().GetWindowsError());
        }
        if (result.code != KD5200_ERR_NONE) {
            result.leftover = Discard(memory, copyName, true);
            return result;
        }
    }
    // The old file must still be the one shown before it goes.
    if (const device::Change change = watch.Entries(memory, {old});
        change != device::Change::kNone) {
        result.code = device::ChangeCode(change);
        Report(parent, result.code, 0);
        result.leftover = Discard(memory, copyName, true);
        return result;
    }
    const int copy = Named(memory, copyName);
    if (copy < 0 || !Api().Rename(S().handle, memory, copy, readyName.c_str(),
                                  &S().memories[memory].entries[static_cast<size_t>(copy)])) {
        result.code = copy < 0 ? KD5200_ERR_NO_ENTRY : LibraryCode();
        if (copy >= 0) Report(parent, result.code, Api().GetWindowsError());
        result.leftover = Discard(memory, copyName, true);
        return result;
    }
    // From here the copy takes the old file's name and place: now, or at
    // the memory's next reading when the player is lost before.
    result.code = Finish(memory, readyName, old.number, name);
    S().memories[memory].stale = true;
    if (result.code == KD5200_ERR_NONE) {
        result.end = DevReplaceEnd::kReplaced;
        return result;
    }
    Report(parent, result.code, Api().GetWindowsError());
    result.end = DevReplaceEnd::kCompletesLater;
    return result;
}
