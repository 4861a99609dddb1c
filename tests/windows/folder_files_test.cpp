// Run under Wine: the Windows half of what kdplayer's backups and copies stand
// on. Files beneath a folder are opened only when regular and inside it, a
// folder being written is kept from other processes and still takes its
// name, and a compared pipe tells the same bytes from others and never
// waits for a writer that did not come.
#include "base/platform/folder_files.h"
#include "base/platform/pipe_compare.h"
#include "base/platform/wide_text.h"
#include "wine_check.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <io.h>
#include <string>
#include <windows.h>

namespace {

using wine_check::Check;

void Write(const std::string& path, const std::string& data) {
    std::FILE* file = _wfopen(platform::WideText(path).c_str(), L"wb");
    if (!file) return;
    std::fwrite(data.data(), 1, data.size(), file);
    std::fclose(file);
}

// The errno of a confined open of relative beneath dir (0 when it opened).
int OpenError(int dir, const std::string& relative, platform::FileStamp& stamp) {
    errno = 0;
    const int fd = platform::OpenRegularBeneath(dir, relative, stamp);
    if (fd >= 0) _close(fd);
    return fd >= 0 ? 0 : errno;
}

void Beneath(const std::string& top) {
    const std::string backup = top + "\\백업";
    Check(platform::MakeFolder(backup) == 0 && platform::MakeFolder(backup + "\\internal") == 0 &&
              platform::MakeFolder(backup) == EEXIST,
          "folders are made, and a second time EEXIST");
    Write(backup + "\\internal\\노래.mp3", "twelve bytes");
    Write(top + "\\outside.mp3", "outside");
    const int dir = platform::OpenFolder(backup);
    Check(dir >= 0, "the backup folder opens");
    platform::FileStamp stamp, again;
    Check(OpenError(dir, "internal/노래.mp3", stamp) == 0 && stamp.size == 12 && stamp.regular,
          "a file beneath the folder opens, with its size");
    Check(OpenError(dir, "internal/노래.mp3", again) == 0 && again == stamp,
          "and is found the same file again");
    Check(OpenError(dir, "internal/none.mp3", stamp) == ENOENT, "a missing file is ENOENT");
    Check(OpenError(dir, "internal", stamp) == ENODEV, "a folder is no regular file");
    Check(OpenError(dir, "internal/노래.mp3/x", stamp) == ENOTDIR, "a file is no folder on the way");
    for (const char* outside : {"../outside.mp3", "internal/../../outside.mp3", "internal\\..\\..\\outside.mp3",
                                "C:outside.mp3", "internal/노래.mp3:stream", ""})
        Check(OpenError(dir, outside, stamp) == EINVAL, std::string("no step out: ") + outside);
    // A link to the folder outside, made as a person could.
    const std::wstring junction = platform::WideText(backup + "\\external");
    if (CreateSymbolicLinkW(junction.c_str(), L"..",
                            SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* unprivileged */))
        // ELOOP on Windows; Wine's links are no reparse points to it, and
        // lead nowhere: the file outside must not open either way.
        Check(OpenError(dir, "external/outside.mp3", stamp) != 0, "a link on the way is not followed");
    std::vector<std::string> names;
    Check(platform::ListBeneath(dir, "internal", names) == 0 && names.size() == 1 &&
              names[0] == "노래.mp3",
          "the folder's names, in UTF-8");
    const int out = platform::CreateBeneath(dir, "MANIFEST");
    Check(out >= 0 && _write(out, "m", 1) == 1, "a new file is made beneath the folder");
    if (out >= 0) _close(out);
    errno = 0;
    Check(platform::CreateBeneath(dir, "MANIFEST") < 0 && errno == EEXIST, "but never over one");
    Check(platform::SyncBeneath(dir) == 0, "what was written is flushed");
    _close(dir);
}

void Locks(const std::string& top) {
    const std::string hidden = top + "\\.saved.partial-ABCDEF", target = top + "\\saved";
    Check(platform::MakeFolder(hidden) == 0 && platform::MakeFolder(target) == 0, "two folders");
    platform::FolderLock lock;
    Check(lock.Lock(hidden) == 0, "a folder is locked");
    platform::FolderLock other;
    Check(other.Lock(hidden) == EWOULDBLOCK, "a second lock waits for none and says so");
    Check(platform::Rename(hidden, top + "\\elsewhere") != 0, "nobody else renames a locked folder");
    Write(hidden + "\\MANIFEST", "m");
    Check(lock.RenameTo(target) == 0 && platform::Exists(target + "\\MANIFEST") &&
              !platform::Exists(hidden),
          "the locked folder takes the place of an empty one");
    lock.Unlock();
    const std::string next = top + "\\next";
    Check(platform::MakeFolder(next) == 0, "a third folder");
    Check(platform::Rename(next, target) == ENOTEMPTY, "a folder that holds files is not replaced");
    Check(platform::Exchange(next, target) == ENOSYS, "Windows has no exchange of two names");
}

void Pipes(const std::string& top) {
    const std::string expected = top + "\\font.fot";
    Write(expected, std::string(300000, 'f') + "end");
    auto written = [&](const std::string& data, bool write) {
        platform::PipeCompare pipe(expected);
        if (pipe.Path().empty()) return false;
        if (write) {
            std::FILE* file = _wfopen(platform::WideText(pipe.Path()).c_str(), L"wb");
            if (!file) return false;
            std::fwrite(data.data(), 1, data.size(), file);
            std::fclose(file);
        }
        return pipe.Same();
    };
    Check(written(std::string(300000, 'f') + "end", true), "the same bytes through the pipe are the same");
    Check(!written(std::string(300000, 'f') + "END", true), "other bytes are not");
    Check(!written(std::string(300000, 'f'), true), "nor fewer");
    Check(!written("", false), "a writer that never came is no match, and nothing waits for it");
}

} // namespace

int main() {
    // A scratch folder of this run in the temporary folder, named in Korean.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::string top = platform::Utf8Text(temp) + "시험-" + std::to_string(platform::ProcessId());
    if (platform::MakeFolder(top) != 0) {
        std::fprintf(stderr, "cannot make %s\n", top.c_str());
        return 2;
    }
    Beneath(top);
    Locks(top);
    Pipes(top);
    std::error_code error;
    std::filesystem::remove_all(platform::FsPath(top), error);
    if (wine_check::failures == 0) std::puts("all passed");
    return wine_check::Status();
}
