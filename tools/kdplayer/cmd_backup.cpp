// backup and restore: both memories in their order and the font, with a
// manifest; every copy is read back and compared, both ways.
#include "tools/kdplayer/commands.h"
#include "tools/kdplayer/copies.h"
#include "tools/kdplayer/exit_codes.h"
#include "tools/kdplayer/interrupt.h"
#include "tools/kdplayer/manifest.h"
#include "tools/kdplayer/pc_output.h"
#include "tools/kdplayer/player_edits.h"
#include "tools/kdplayer/session.h"
#include "tools/kdplayer/sha256.h"
#include "tools/kdplayer/whole_files.h"
#include "lib/device/device_layer.h"
#include "base/platform/atomic_file.h"
#include "base/platform/error_text.h"
#include "base/platform/pipe_compare.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace kdplayer {

namespace {

// Files up to this size are read into memory to be checked, hashed and
// written; larger ones go through a file.
constexpr uint32_t kInMemory = 64u << 20;

bool MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) return true;
    Say(path + ": " + platform::SystemErrorText(errno));
    return false;
}

// Writes text as the file at path, whole and on the disk before it takes
// its name.
bool WriteText(const std::string& path, const std::string& text) {
    platform::AtomicFile out;
    int error = out.Create(path);
    for (size_t at = 0; error == 0 && at < text.size();) {
        const ssize_t n = write(out.Fd(), text.data() + at, text.size() - at);
        if (n < 0) error = errno;
        else at += static_cast<size_t>(n);
    }
    if (error == 0 && fdatasync(out.Fd()) != 0) error = errno;
    if (error == 0) error = out.Commit();
    if (error != 0) Say(path + ": " + platform::SystemErrorText(error));
    return error == 0;
}

int Stopped(int code, int done, int total, const char* verb) {
    if (code == KD5200_ERR_CANCELLED || done > 0) {
        Say("stopped: " + std::to_string(done) + " of " + std::to_string(total) + " files " + verb);
        return kExitPartial;
    }
    return ExitForCode(code);
}

// A stored name for a player name (in the PC's text, bytes that do not
// decode as "%HH"), unique within its folder.
std::string StoredName(const std::string& name, int order, std::set<std::string>& taken) {
    std::string stored = DevSafeFileName(DevNameToPcName(name));
    if (!taken.insert(stored).second) {
        stored = std::to_string(order) + "-" + stored;
        taken.insert(stored);
    }
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
        Say("the font read back differs from the first read");
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

} // namespace

int RunBackup(const Options& options) {
    if (options.words.size() != 1) {
        Say("backup needs one folder");
        return kExitUsage;
    }
    const std::string dir = options.words[0];
    if (!options.force && access((dir + "/" + kManifestName).c_str(), F_OK) == 0) {
        Say("'" + dir + "' holds a backup; --force replaces it");
        return kExitFailed;
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
    if (!MakeFolder(dir)) return kExitFailed;
    ProgressBar bar(!options.quiet && StderrIsTerminal(), total, bytes);
    CopyProgress progress(&bar);
    WholeFiles out[2];
    std::vector<unsigned char> data;
    int done = 0;
    for (int memory = 0; memory < 2; ++memory) {
        if (!manifest.memories[memory]) continue;
        const std::string folder = BackupFolder(dir, memory);
        if (!MakeFolder(folder)) return kExitFailed;
        if (const int error = out[memory].Open(folder)) {
            Say(folder + ": " + platform::SystemErrorText(error));
            return kExitFailed;
        }
        std::set<std::string> taken;
        for (const PlayerFile& file : files[memory]) {
            if (Interrupted()) return Stopped(KD5200_ERR_CANCELLED, done, total, "saved");
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
                    return Stopped(code, done, total, "saved");
                saved.sha256 = Sha256Of(data.data(), data.size());
                if (const int error = out[memory].Write(saved.stored, data.data(), data.size())) {
                    Say(path + ": " + platform::SystemErrorText(error));
                    return Stopped(KD5200_ERR_FILE_WRITE, done, total, "saved");
                }
            } else {
                if (const int code = CopyToPc(memory, file, path, KD5200_CONVERT_NONE, true, true))
                    return Stopped(code, done, total, "saved");
                saved.sha256 = Sha256OfFile(path);
            }
            manifest.files.push_back(std::move(saved));
            bar.FinishFile(file.size);
            ++done;
        }
    }
    bar.Clear();
    // The memories must still hold what was listed at the start: a player
    // changed meanwhile by another program gives no manifest.
    for (int memory = 0; memory < 2; ++memory) {
        if (!manifest.memories[memory]) continue;
        std::vector<PlayerFile> now;
        if (!DevListEntryNames(memory, now, true)) return ExitForCode(KD5200_ERR_NOT_ATTACHED);
        bool same = now.size() == files[memory].size();
        for (size_t i = 0; same && i < now.size(); ++i)
            same = now[i].shortName == files[memory][i].shortName &&
                   now[i].longName == files[memory][i].longName &&
                   now[i].size == files[memory][i].size;
        if (!same) {
            Say(MemoryName(memory) + " changed during the backup; no manifest was written");
            return kExitChanged;
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
        const std::string folder = BackupFolder(dir, -1);
        if (!MakeFolder(folder)) return kExitFailed;
        if (const int code = SaveFont(font, folder + "/" + saved.stored)) return code;
        saved.sha256 = Sha256OfFile(folder + "/" + saved.stored);
        manifest.font = std::move(saved);
    }
    // The manifest comes last, once the files are on the disk: a backup
    // without one was not finished. One flush for all files.
    WholeFiles top;
    int error = top.Open(dir);
    if (error == 0) error = top.Sync();
    if (error != 0) {
        Say(dir + ": " + platform::SystemErrorText(error));
        return kExitFailed;
    }
    if (!WriteText(dir + "/" + kManifestName, ManifestText(manifest))) return kExitFailed;
    if ((error = top.SyncNames()) != 0) {
        Say(dir + ": " + platform::SystemErrorText(error));
        return kExitFailed;
    }
    if (!options.quiet)
        std::printf("%d files%s saved in %s\n", done, manifest.font ? " and the font" : "",
                    dir.c_str());
    return kExitOk;
}

int RunRestore(const Options& options) {
    if (options.words.size() != 1) {
        Say("restore needs one folder");
        return kExitUsage;
    }
    const std::string dir = options.words[0];
    std::ifstream in(dir + "/" + kManifestName, std::ios::binary);
    if (!in) {
        Say("'" + dir + "' holds no backup (no " + kManifestName + ")");
        return kExitNotFound;
    }
    std::stringstream text;
    text << in.rdbuf();
    Manifest manifest;
    std::string why;
    if (!ParseManifest(text.str(), manifest, why)) {
        Say(dir + "/" + kManifestName + ": " + why);
        return kExitFailed;
    }
    // The backup is checked whole before the player is touched.
    uint64_t bytes = 0;
    auto checked = [&](const ManifestFile& file) {
        const std::string path = BackupFolder(dir, file.memory) + "/" + file.stored;
        struct stat st {};
        if (stat(path.c_str(), &st) != 0) {
            Say("'" + path + "' is missing from the backup");
            return false;
        }
        if (static_cast<uint64_t>(st.st_size) != file.size || Sha256OfFile(path) != file.sha256) {
            Say("'" + path + "' differs from the backup's manifest");
            return false;
        }
        return true;
    };
    for (const ManifestFile& file : manifest.files) {
        if (!checked(file)) return kExitFailed;
        bytes += file.size;
    }
    if (manifest.font && !checked(*manifest.font)) return kExitFailed;

    Session session;
    if (const int code = session.Connect()) return code;
    std::vector<PlayerFile> present[2];
    for (int memory = 0; memory < 2; ++memory) {
        if (!manifest.memories[memory]) continue;
        int status = kExitOk;
        if (!session.Present(memory) || !ListMemory(session, memory, present[memory], status)) {
            if (status == kExitOk) {
                Say(MemoryName(memory) + " is not present");
                status = kExitNoPlayer;
            }
            return status;
        }
        if (!present[memory].empty() && !options.force) {
            Say(MemoryName(memory) + " holds " + std::to_string(present[memory].size()) +
                " files; format it first, or --force deletes them");
            return kExitFailed;
        }
    }
    KD5200_FONTINFO font{};
    const bool hasFont = DevApi().GetFontInfo(DevGetHandle(), &font) != 0;
    font.fileName[sizeof font.fileName - 1] = '\0';
    bool putFont = false;
    if (manifest.font) {
        const std::string path = BackupFolder(dir, -1) + "/" + manifest.font->stored;
        putFont = !hasFont || !SameFont(font, *manifest.font, path);
        if (putFont && hasFont && !options.force) {
            Say(std::string("the player holds another font, '") + font.fileName +
                "'; --force replaces it");
            return kExitFailed;
        }
    }
    // With --force, what the memories hold goes first, from the last file back.
    for (int memory = 0; memory < 2; ++memory)
        for (auto file = present[memory].rbegin(); file != present[memory].rend(); ++file)
            if (const int code = DeleteChecked(memory, *file)) return ExitForCode(code);

    const int total = static_cast<int>(manifest.files.size());
    ProgressBar bar(!options.quiet && StderrIsTerminal(), total, bytes);
    CopyProgress progress(&bar);
    int done = 0;
    for (const ManifestFile& file : manifest.files) {
        if (Interrupted()) return Stopped(KD5200_ERR_CANCELLED, done, total, "restored");
        bar.StartFile(done + 1, file.name);
        const std::string path = BackupFolder(dir, file.memory) + "/" + file.stored;
        const CopyResult copy = CopyToPlayer(file.memory, path, true);
        if (copy.code != KD5200_ERR_NONE) return Stopped(copy.code, done, total, "restored");
        if (file.stored != file.name) {
            // The name as the player held it, byte for byte.
            if (const int code = RenameChecked(file.memory, copy.added, file.name, true))
                return Stopped(code, done, total, "restored");
        }
        bar.FinishFile(file.size);
        ++done;
    }
    bar.Clear();
    if (putFont) {
        DevSetStale(0, true);
        const std::string path = BackupFolder(dir, -1) + "/" + manifest.font->stored;
        KD5200_FONTINFO now{};
        if (!DevApi().DownloadFont(nullptr, DevGetHandle(), path.c_str()) ||
            !DevApi().GetFontInfo(DevGetHandle(), &now) ||
            !SameFont(now, *manifest.font, path)) {
            Say("the font on the player differs from the backup's");
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
            Say(MemoryName(memory) + " does not hold the backup's files in their order");
            return kExitChanged;
        }
    }
    if (!options.quiet)
        std::printf("%d files%s restored from %s\n", done, putFont ? " and the font" : "",
                    dir.c_str());
    return kExitOk;
}

} // namespace kdplayer
