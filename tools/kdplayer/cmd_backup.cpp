// backup and restore: both memories in their order and the font, with a
// manifest; every copy is read back and compared, both ways.
#include "tools/kdplayer/commands.h"
#include "tools/kdplayer/confined_open.h"
#include "tools/kdplayer/copies.h"
#include "tools/kdplayer/exit_codes.h"
#include "tools/kdplayer/interrupt.h"
#include "tools/kdplayer/manifest.h"
#include "tools/kdplayer/new_backup.h"
#include "tools/kdplayer/pc_output.h"
#include "tools/kdplayer/player_edits.h"
#include "tools/kdplayer/session.h"
#include "tools/kdplayer/sha256.h"
#include "tools/kdplayer/space_check.h"
#include "tools/kdplayer/whole_files.h"
#include "lib/device/device_layer.h"
#include "base/platform/error_text.h"
#include "base/platform/folder_files.h"
#include "base/platform/open_file.h"
#include "base/platform/paths.h"
#include "base/platform/pipe_compare.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace kdplayer {

namespace {

// Files up to this size are read into memory to be checked, hashed and
// written; larger ones go through a file.
constexpr uint32_t kInMemory = 64u << 20;

bool MakeFolder(const std::string& path) {
    const int error = platform::MakeFolder(path);
    if (error == 0 || error == EEXIST) return true;
    Say(path + ": " + platform::SystemErrorText(error));
    return false;
}

// A stored name for a player name (in the PC's text, bytes that do not
// decode as "%HH"), unique within its folder: a name taken, in any case (the
// folder may be on a file system that ignores case), gets "ORDER-" and, if
// that is taken too, "ORDER-N-" before it.
std::string StoredName(const std::string& name, int order, std::set<std::string>& taken) {
    const std::string base = DevSafeFileName(DevNameToPcName(name));
    auto key = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    std::string stored = base;
    for (int n = 1; !taken.insert(key(stored)).second; ++n)
        stored = std::to_string(order) + "-" + (n > 1 ? std::to_string(n) + "-" : "") + base;
    return stored;
}

// The player's font read into path (whole) and read back to compare.
int SaveFont(const KD5200_FONTINFO& font, const std::string& path) {
    PcOutput output;
    if (const int error = output.Create(path)) {
        Say(path + ": " + platform::SystemErrorText(error));
        return kExitFailed;
    }
    const std::string into = output.Path();
    const auto size = static_cast<int32_t>(font.size);
    if (!DevApi().UploadFont(nullptr, DevGetHandle(), into.c_str(), 0, size)) {
        DevApi().DispError(nullptr, DevApi().GetError(), DevApi().GetWindowsError());
        return ExitForCode(DevApi().GetError());
    }
    platform::PipeCompare check(into);
    if (check.Path().empty() ||
        !DevApi().UploadFont(nullptr, DevGetHandle(), check.Path().c_str(), 0, size) ||
        !check.Same()) {
        Say(Formatted("the font read back differs from the first read"));
        return kExitFailed;
    }
    if (const int error = output.Commit()) {
        Say(path + ": " + platform::SystemErrorText(error));
        return kExitFailed;
    }
    return kExitOk;
}

// Whether the player's font is the one at path (name, size and contents).
bool SameFont(const KD5200_FONTINFO& font, const ManifestFile& saved, const std::string& path) {
    if (saved.name != font.fileName || saved.size != font.size) return false;
    platform::PipeCompare check(path);
    if (check.Path().empty()) return false;
    const bool read = DevApi().UploadFont(nullptr, DevGetHandle(), check.Path().c_str(), 0,
                                          static_cast<int32_t>(font.size)) != 0;
    return check.Same() && read;
}

// Whether the player takes bytes as a file name: not empty, at most 255
// bytes, no control or reserved character, not ending in a dot or a space.
// Characters are read in the code page, so that the second byte of a
// double-byte character is not taken for a reserved one.
bool PlayerTakesName(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > 255) return false;
    const std::string text = DevNameToText(bytes);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || std::strchr("\"*/:<>?\\|", c)) return false;
    }
    return text.back() != '.' && text.back() != ' ';
}

// The backup as restore reads it: its folder open, each file opened inside
// it only (no link, nothing but a regular file) and checked, and found the
// same file again just before it is copied.
class BackupReader {
public:
    explicit BackupReader(const std::string& dir)
        : dir_(dir), folder_(platform::OpenFolder(dir)) {}
    int Fd() const { return folder_.Fd(); }
    static std::string Relative(const ManifestFile& file) {
        return BackupFolder("", file.memory).substr(1) + "/" + file.stored;
    }
    // The file's path, for messages and for the device library.
    std::string Path(const ManifestFile& file) const { return dir_ + "/" + Relative(file); }
    // That path in quotes, for messages (appended: GCC 12 warns (-Wrestrict)
    // of "'" + a temporary).
    std::string QuotedPath(const ManifestFile& file) const {
        std::string text = "'";
        text += Path(file);
        text += '\'';
        return text;
    }

    // Checks file against the manifest; empty, or what is wrong.
    Message Check(const ManifestFile& file) {
        platform::FileStamp stamp;
        platform::OpenFile in(OpenRegularInside(folder_.Fd(), Relative(file), stamp));
        if (in.Fd() < 0) return QuotedPath(file) + " " + OpenFailureText(errno);
        if (stamp.size != file.size || Sha256OfFd(in.Fd()) != file.sha256)
            return Formatted("%s differs from the backup's manifest", QuotedPath(file));
        checked_[Relative(file)] = stamp;
        return "";
    }
    // Whether file is still the one checked (says so when not).
    bool Unchanged(const ManifestFile& file) {
        platform::FileStamp stamp;
        platform::OpenFile in(OpenRegularInside(folder_.Fd(), Relative(file), stamp));
        const auto was = checked_.find(Relative(file));
        if (in.Fd() >= 0 && was != checked_.end() && was->second == stamp) return true;
        Say(Formatted("%s changed since it was checked", QuotedPath(file)));
        return false;
    }

private:
    std::string dir_;
    platform::OpenFile folder_;
    std::map<std::string, platform::FileStamp> checked_;
};

// The library names an entry after the file it stores. A stored name that
// is another file's name on the player (a name made unique on the PC: the
// player's "caf%E9.mp3" beside a "caf\xE9.mp3" stored as "caf%E9.mp3") would
// meet that file there: such a file is stored through a link of a name no
// file of the backup has, and then takes its own name.
class RestoreLinks {
public:
    RestoreLinks() = default;
    ~RestoreLinks() {
        for (const std::string& link : links_)
            platform::RemoveName(link);
        if (!folder_.empty()) platform::RemoveEmptyFolder(folder_);
    }
    RestoreLinks(const RestoreLinks&) = delete;
    RestoreLinks& operator=(const RestoreLinks&) = delete;

    // The player names of the backup's files, to tell a colliding stored name.
    void Note(const ManifestFile& file) { names_[file.memory].insert(Folded(file.name)); }

    // The path to give the library for file: its own, or a link to it; ""
    // (with errno set) when no link can be made.
    std::string PathFor(const ManifestFile& file, const std::string& path) {
        std::string bytes;
        if (!DevNameToPlayer(file.stored, bytes) || bytes == file.name ||
            !names_[file.memory].count(Folded(bytes)))
            return path;
        if (folder_.empty()) {
            const std::string folder =
                platform::TempDir() + "/kdplayer-restore-" + std::to_string(platform::ProcessId());
            if (const int made = platform::MakeFolder(folder, true); made != 0 && made != EEXIST) {
                errno = made;
                return "";
            }
            folder_ = folder;
        }
        const std::string link =
            folder_ + "/~kdplayer-restore-" + std::to_string(platform::ProcessId()) + "-" +
            std::to_string(links_.size() + 1);
        std::error_code error;
        const std::string target =
            platform::PathText(std::filesystem::absolute(platform::FsPath(path), error));
        if (error) {
            errno = error.value();
            return "";
        }
        if (const int failed = platform::AddName(target, link)) {
            errno = failed;
            return "";
        }
        links_.push_back(link);
        return link;
    }

private:
    static std::string Folded(std::string bytes) {
        for (char& c : bytes)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return bytes;
    }

    std::set<std::string> names_[2];
    std::string folder_;
    std::vector<std::string> links_;
};

} // namespace

int RunBackup(const Options& options) {
    if (options.words.size() != 1) {
        Say(Formatted("backup needs one folder"));
        return kExitUsage;
    }
    const std::string dir = options.words[0];
    // The target: none yet, an empty folder, or a backup (replaced only with
    // --force). A folder of other files is never taken.
    bool replace = false;
    if (platform::FileStamp st; platform::StampAt(dir, st)) {
        std::error_code error;
        if (!st.folder) {
            Say(Formatted("'%s' is not a folder", dir));
            return kExitFailed;
        }
        if (platform::Exists(dir + "/" + kManifestName)) {
            if (!options.force) {
                Say(Formatted("'%s' holds a backup; --force replaces it", dir));
                return kExitFailed;
            }
            replace = true;
        } else if (!std::filesystem::is_empty(platform::FsPath(dir), error)) {
            Say(Formatted("'%s' holds files but no backup; name a new or an empty folder", dir));
            return kExitFailed;
        }
    }
    Session session;
    if (const int code = session.Connect()) return code;
    Manifest manifest;
    if (const char* version = DevGetFirmwareVersion()) manifest.firmware = version;
    std::vector<PlayerFile> files[2];
    uint64_t bytes = 0;
    int total = 0;
    for (int memory = 0; memory < 2; ++memory) {
        if (!session.Present(memory)) continue;
        int status = kExitOk;
        if (!ListMemory(session, memory, files[memory], status)) return status;
        manifest.memories[memory] = true;
        for (const PlayerFile& file : files[memory])
            bytes += file.size;
        total += static_cast<int>(files[memory].size());
    }
    // Written beside the target, which keeps what it holds until the new
    // backup is whole.
    NewBackup backup;
    if (const int error = backup.Create(dir)) {
        Say(dir + ": " + platform::SystemErrorText(error));
        return kExitFailed;
    }
    const std::string root = backup.Path();
    const Message unchanged = replace ? Formatted("; the backup in '%s' is as it was", dir)
                                      : Formatted("; no backup was written");
    ProgressBar bar(!options.quiet && StderrIsTerminal(), total, bytes);
    CopyProgress progress(&bar);
    WholeFiles out[2];
    std::vector<unsigned char> data;
    int done = 0;
    for (int memory = 0; memory < 2; ++memory) {
        if (!manifest.memories[memory]) continue;
        const std::string folder = BackupFolder(root, memory);
        if (!MakeFolder(folder)) return kExitFailed;
        if (const int error = out[memory].Open(folder)) {
            Say(folder + ": " + platform::SystemErrorText(error));
            return kExitFailed;
        }
        std::set<std::string> taken;
        for (const PlayerFile& file : files[memory]) {
            if (Interrupted())
                return StoppedStatus(KD5200_ERR_CANCELLED, done, total, "saved", unchanged);
            ManifestFile saved;
            saved.memory = memory;
            saved.order = file.number;
            saved.size = file.size;
            saved.name = ShownName(file);
            saved.stored = StoredName(saved.name, file.number, taken);
            const std::string path = folder + "/" + saved.stored;
            bar.StartFile(done + 1, saved.name);
            // The listing is compared once at the end, which costs one
            // directory read instead of one for each file. A file of usual
            // size is read, checked and hashed in memory and written once.
            if (file.size <= kInMemory) {
                if (const int code = CopyToMemory(memory, file, data))
                    return StoppedStatus(code, done, total, "saved", unchanged);
                saved.sha256 = Sha256Of(data.data(), data.size());
                if (const int error = out[memory].Write(saved.stored, data.data(), data.size())) {
                    Say(path + ": " + platform::SystemErrorText(error));
                    return StoppedStatus(KD5200_ERR_FILE_WRITE, done, total, "saved", unchanged);
                }
            } else {
                if (const int code = CopyToPc(memory, file, path, KD5200_CONVERT_NONE, true, true))
                    return StoppedStatus(code, done, total, "saved", unchanged);
                saved.sha256 = Sha256OfFile(path);
            }
            manifest.files.push_back(std::move(saved));
            bar.FinishFile(file.size);
            ++done;
        }
    }
    bar.Clear();
    // The memories must still hold what was listed at the start: a player
    // changed meanwhile by another program gives no backup.
    for (int memory = 0; memory < 2; ++memory) {
        if (!manifest.memories[memory]) continue;
        const device::Change change = Changed(memory, files[memory], true);
        if (change == device::Change::kFilesChanged) {
            Say(Formatted("%s changed during the backup%s", MemoryName(memory), unchanged));
            return kExitChanged;
        }
        if (change != device::Change::kNone) {
            Say(CodeText(device::ChangeCode(change)) + unchanged);
            return ExitForCode(device::ChangeCode(change));
        }
    }
    KD5200_FONTINFO font{};
    if (DevApi().GetFontInfo(DevGetHandle(), &font)) {
        font.fileName[sizeof font.fileName - 1] = '\0';
        ManifestFile saved;
        saved.memory = -1;
        saved.size = font.size;
        saved.name = font.fileName;
        saved.stored = DevSafeFileName(saved.name);
        const std::string folder = BackupFolder(root, -1);
        if (!MakeFolder(folder)) return kExitFailed;
        if (const int code = SaveFont(font, folder + "/" + saved.stored)) return code;
        saved.sha256 = Sha256OfFile(folder + "/" + saved.stored);
        manifest.font = std::move(saved);
    }
    // The manifest and the sums last; one flush for everything, and then the
    // folder takes the target's name.
    const std::string text = ManifestText(manifest);
    const std::string sums = SumsText(manifest, text);
    WholeFiles top;
    int error = top.Open(root);
    if (error == 0) error = top.Write(kManifestName, text.data(), text.size());
    if (error == 0) error = top.Write(kSumsName, sums.data(), sums.size());
    if (error == 0) error = top.Sync();
    top.Close();
    out[0].Close();
    out[1].Close();
    std::string leftOver;
    if (error == 0) error = backup.Commit(replace, leftOver);
    if (error != 0) {
        Say(dir + ": " + platform::SystemErrorText(error) + unchanged);
        return kExitFailed;
    }
    if (!leftOver.empty())
        Say(Formatted("the old backup could not be removed from '%s'; the next backup removes it",
                      leftOver));
    if (!options.quiet)
        std::fputs((manifest.font ? Formatted("%s files and the font saved in %s\n", done, dir)
                                  : Formatted("%s files saved in %s\n", done, dir))
                       .shown.c_str(),
                   stdout);
    return kExitOk;
}

int RunRestore(const Options& options) {
    if (options.words.size() != 1) {
        Say(Formatted("restore needs one folder"));
        return kExitUsage;
    }
    const std::string dir = options.words[0];
    const std::string manifestPath = dir + "/" + kManifestName;
    BackupReader backup(dir);
    platform::FileStamp stamp;
    platform::OpenFile in(backup.Fd() < 0 ? -1 : OpenRegularInside(backup.Fd(), kManifestName, stamp));
    if (in.Fd() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            Say(Formatted("'%s' holds no backup (no %s)", dir, kManifestName));
            return kExitNotFound;
        }
        Say(manifestPath + " " + OpenFailureText(errno));
        return kExitFailed;
    }
    std::string text;
    if (const int error = ReadBounded(in.Fd(), kManifestLimit, text)) {
        Say(manifestPath + ": " +
            (error == EFBIG ? Formatted("larger than any manifest")
                            : platform::SystemErrorText(error)));
        return kExitFailed;
    }
    Manifest manifest;
    Message why;
    if (!ParseManifest(text, manifest, why)) {
        Say(manifestPath + ": " + why);
        return kExitFailed;
    }
    if (manifest.withoutEndRecord) {
        // An earlier kdplayer wrote no end record: its manifest is taken as
        // whole only when it names every file the backup holds, as a cut one
        // would not.
        const auto unnamed = UnnamedFiles(backup.Fd(), manifest);
        for (const auto& [path, what] : unnamed)
            Say("'" + dir + "/" + path + "' " + what);
        if (!unnamed.empty()) {
            Say(Formatted("%s: the backup is incomplete: its manifest, written by an earlier "
                          "kdplayer without an end record, does not name every file",
                          manifestPath));
            Say(Formatted("nothing was restored; the player is as it was"));
            return kExitFailed;
        }
        Say(Formatted("%s: written by an earlier kdplayer, without an end record; it names "
                      "every file of the backup, which is restored as it names them",
                      manifestPath));
    }
    // The backup is checked whole before the player is touched, and every
    // fault found is said.
    std::vector<Message> problems;
    uint64_t bytes = 0;
    for (const ManifestFile& file : manifest.files) {
        if (Message problem = backup.Check(file); !problem.empty())
            problems.push_back(std::move(problem));
        bytes += file.size;
    }
    if (manifest.font)
        if (Message problem = backup.Check(*manifest.font); !problem.empty())
            problems.push_back(std::move(problem));
    auto refused = [&] {
        for (const Message& problem : problems)
            Say(problem);
        Say(Formatted("nothing was restored; the player is as it was"));
        return kExitFailed;
    };
    if (!problems.empty()) return refused();

    Session session;
    if (const int code = session.Connect()) return code;
    std::vector<PlayerFile> present[2];
    for (int memory = 0; memory < 2; ++memory) {
        if (!manifest.memories[memory]) continue;
        int status = kExitOk;
        if (!session.Present(memory) || !ListMemory(session, memory, present[memory], status)) {
            if (status == kExitOk) {
                Say(Formatted("%s is not present", MemoryName(memory)));
                status = kExitNoPlayer;
            }
            return status;
        }
        if (!present[memory].empty() && !options.force)
            problems.push_back(
                Formatted("%s holds %s files; format it first, or --force deletes them",
                          MemoryName(memory), present[memory].size()));
        // Room for the backup's files once what the memory holds is gone.
        std::vector<DevRoomFile> sizes;
        for (const ManifestFile& file : manifest.files)
            if (file.memory == memory) sizes.push_back({file.size, std::nullopt});
        uint64_t freed = 0;
        for (const PlayerFile& file : present[memory])
            freed += BlocksOf(file.size);
        const auto held = static_cast<int64_t>(present[memory].size());
        if (const Message shortfall = SpaceShortfall(sizes, MemoryRoom(memory, held, freed, held));
            !shortfall.empty())
            problems.push_back(MemoryName(memory) + ": " + shortfall);
    }
    // Each file is stored under its name in the backup, then given its own
    // name on the player: the player must take both.
    for (const ManifestFile& file : manifest.files) {
        std::string bytesOfStored;
        if (!DevNameToPlayer(file.stored, bytesOfStored) || !PlayerTakesName(bytesOfStored))
            problems.push_back(Formatted("'%s': the player cannot take this name (code page %s)",
                                         backup.Path(file), DevGetCodePage()));
        else if (!PlayerTakesName(file.name))
            problems.push_back(Formatted("'%s': the player refuses its name '%s'",
                                         backup.Path(file), DevNameToText(file.name)));
    }
    KD5200_FONTINFO font{};
    const bool hasFont = DevApi().GetFontInfo(DevGetHandle(), &font) != 0;
    font.fileName[sizeof font.fileName - 1] = '\0';
    bool putFont = false;
    if (manifest.font) {
        putFont = !hasFont || !SameFont(font, *manifest.font, backup.Path(*manifest.font));
        std::string bytesOfStored;
        if (putFont && hasFont && !options.force)
            problems.push_back(Formatted("the player holds another font, '%s'; --force replaces it",
                                         font.fileName));
        if (putFont && (!DevNameToPlayer(manifest.font->stored, bytesOfStored) ||
                        bytesOfStored != manifest.font->name))
            problems.push_back(
                Formatted("'%s': the player cannot take the font under its name (code page %s)",
                          backup.Path(*manifest.font), DevGetCodePage()));
    }
    if (!problems.empty()) return refused();

    // With --force, what the memories hold goes first, from the last file back.
    for (int memory = 0; memory < 2; ++memory)
        for (auto file = present[memory].rbegin(); file != present[memory].rend(); ++file)
            if (const int code = DeleteChecked(memory, *file)) return ExitForCode(code);

    const int total = static_cast<int>(manifest.files.size());
    ProgressBar bar(!options.quiet && StderrIsTerminal(), total, bytes);
    CopyProgress progress(&bar);
    int done = 0;
    RestoreLinks links;
    for (const ManifestFile& file : manifest.files)
        links.Note(file);
    for (const ManifestFile& file : manifest.files) {
        if (Interrupted()) return StoppedStatus(KD5200_ERR_CANCELLED, done, total, "restored");
        bar.StartFile(done + 1, file.name);
        if (!backup.Unchanged(file)) return StoppedStatus(KD5200_ERR_FILE_READ, done, total, "restored");
        const std::string source = links.PathFor(file, backup.Path(file));
        if (source.empty()) {
            Say(backup.Path(file) + ": " + platform::SystemErrorText(errno));
            return StoppedStatus(KD5200_ERR_FILE_READ, done, total, "restored");
        }
        const CopyResult copy = CopyToPlayer(file.memory, source, true);
        // A copy the player was lost before it could be checked stays there.
        if (copy.code != KD5200_ERR_NONE)
            return StoppedStatus(copy.code, done + (copy.kept ? 1 : 0), total, "restored");
        if (file.stored != file.name || source != backup.Path(file)) {
            // The name as the player held it, byte for byte; a copy that
            // cannot have it is not left under the other name.
            if (const int code = RenameChecked(file.memory, copy.added, file.name, true)) {
                DeleteChecked(file.memory, copy.added);
                return StoppedStatus(code, done, total, "restored");
            }
        }
        bar.FinishFile(file.size);
        ++done;
    }
    bar.Clear();
    if (putFont) {
        DevSetStale(0, true);
        const std::string path = backup.Path(*manifest.font);
        const device::ProgressGuard reports(CopyReports()); // an interrupt stops it
        KD5200_FONTINFO now{};
        if (!backup.Unchanged(*manifest.font) ||
            !DevApi().DownloadFont(nullptr, DevGetHandle(), path.c_str()) ||
            !DevApi().GetFontInfo(DevGetHandle(), &now) ||
            !SameFont(now, *manifest.font, path)) {
            Say(Formatted("the font on the player differs from the backup's"));
            return kExitFailed;
        }
    }
    // The memories now hold the backup's files, in its order, and nothing else.
    for (int memory = 0; memory < 2; ++memory) {
        if (!manifest.memories[memory]) continue;
        std::vector<PlayerFile> now;
        int status = kExitOk;
        if (!ListMemory(session, memory, now, status)) return status;
        size_t at = 0;
        bool same = true;
        for (const ManifestFile& file : manifest.files) {
            if (file.memory != memory) continue;
            same = same && at < now.size() && ShownName(now[at]) == file.name &&
                   now[at].size == file.size;
            ++at;
        }
        if (!same || at != now.size()) {
            Say(Formatted("%s does not hold the backup's files in their order",
                          MemoryName(memory)));
            return kExitChanged;
        }
    }
    if (!options.quiet)
        std::fputs((putFont ? Formatted("%s files and the font restored from %s\n", done, dir)
                            : Formatted("%s files restored from %s\n", done, dir))
                       .shown.c_str(),
                   stdout);
    return kExitOk;
}

} // namespace kdplayer
