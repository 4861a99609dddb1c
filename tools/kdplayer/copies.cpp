#include "tools/kdplayer/copies.h"

#include "tools/kdplayer/exit_codes.h"
#include "tools/kdplayer/interrupt.h"
#include "lib/device/device_compare.h"
#include "lib/device/device_layer.h"
#include "lib/kd5200usb/errors.h"
#include "lib/lists/name_list.h"
#include "base/platform/console.h"
#include "base/platform/console_catalogue.h"
#include "base/platform/error_text.h"
#include "base/platform/folder_files.h"
#include "base/platform/open_file.h"
#include "base/platform/temp_file.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

namespace kdplayer {

namespace {

ProgressBar* g_bar = nullptr;

// Says why a copy failed: the library's code, and the system's text for a
// PC-side error when there is one.
int Failed(const std::string& what, int code, int systemError = 0) {
    if (code == KD5200_ERR_CANCELLED) return code;
    Message message = what + ": " + CodeText(code);
    if (systemError > 0 && (code == KD5200_ERR_FILE_READ || code == KD5200_ERR_FILE_WRITE))
        message = message + " (" + platform::SystemErrorText(systemError) + ")";
    if (g_bar) g_bar->Clear();
    Say(message);
    return code;
}

// A scratch file of the temporary folder, removed with this object.
class Scratch {
public:
    Scratch() : path_(platform::CreateTempFile("kdplayer-")) {}
    ~Scratch() {
        if (!path_.empty()) platform::RemoveName(path_);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Reads the player file again and compares it with the copy open on fd.
int Check(int memory, const PlayerFile& file, int fd, const std::string& what,
          const char* playerName = nullptr) {
    if (g_bar) g_bar->Checking();
    bool same = false;
    const int code =
        DevCompareEntryWithFile(nullptr, memory, file.number, file.size, playerName, fd, same);
    if (code == KD5200_ERR_NONE && !same) {
        if (g_bar) g_bar->Clear();
        Say(Formatted("%s: the copy read back differs from the player's file", what));
        return KD5200_ERR_STORAGE;
    }
    if (code != KD5200_ERR_NONE) return Failed(what, code, errno);
    return code;
}

// Reads the player file into the file open on fd, which has no name, and
// checks it against a second read.
int ReadChecked(int memory, const PlayerFile& file, int fd, const char* playerName,
                const std::string& target) {
    const std::string name = ShownText(file);
    int writeError = 0;
    const int code =
        DevReadEntryToFile(nullptr, memory, file.number, file.size, playerName, fd, writeError);
    if (writeError != 0) return Failed(target, code, writeError);
    if (code != KD5200_ERR_NONE) return Failed(name, code, DevApi().GetWindowsError());
    return Check(memory, file, fd, name, playerName);
}

// A copy onto the player that stays there though the player was lost
// before it could be looked at again; says so when it was to be checked.
CopyResult& Unchecked(CopyResult& result, const std::string& name, bool verify) {
    result.kept = true;
    if (verify)
        Say(Formatted(
            "%s: copied, but the player was lost before the copy was checked; it stays on "
            "the player unchecked",
            name));
    return result;
}

} // namespace

CopyProgress::CopyProgress(ProgressBar* bar) : outerBar_(std::exchange(g_bar, bar)) {}

CopyProgress::~CopyProgress() {
    g_bar = outerBar_;
}

device::ProgressHandler CopyReports() {
    return [](KD5200_HWND, const char*, device::ProgressPhase phase, int64_t done, int64_t) {
        if (g_bar && phase == device::ProgressPhase::kCheck && !g_bar->IsChecking())
            g_bar->Checking(); // the device layer reads a copy back
        if (g_bar) g_bar->Update(static_cast<uint64_t>(done));
        return Interrupted();
    };
}

// The sentences below, one for each noun and verb their callers pass, for
// the catalogue.
[[maybe_unused]] constexpr const char* kStoppedTexts[] = {
    SD_TEXT("stopped: %s of %s files copied%s"),
    SD_TEXT("stopped: %s of %s files deleted%s"),
    SD_TEXT("stopped: %s of %s files saved%s"),
    SD_TEXT("stopped: %s of %s files restored%s"),
    SD_TEXT("stopped: %s of %s steps done%s"),
    SD_TEXT("stopped: the player was unplugged; nothing was copied%s"),
    SD_TEXT("stopped: the player was unplugged; nothing was deleted%s"),
    SD_TEXT("stopped: the player was unplugged; nothing was saved%s"),
    SD_TEXT("stopped: the player was unplugged; nothing was restored%s")};

void SayStopped(int done, int total, const char* noun, const char* verb, const Message& after) {
    if (g_bar) g_bar->Clear();
    Say(Formatted(("stopped: %s of %s " + std::string(noun) + " " + verb + "%s").c_str(), done,
                  total, after));
}

int StoppedStatus(int code, int done, int total, const char* verb, const Message& after) {
    if (code == KD5200_ERR_NONE) return kExitOk;
    if (done > 0 || code == KD5200_ERR_CANCELLED || code == KD5200_ERR_NO_ENTRY) {
        SayStopped(done, total, "files", verb, after);
        return code == KD5200_ERR_NO_ENTRY ? kExitChanged : kExitPartial;
    }
    if (code == KD5200_ERR_NOT_ATTACHED || code == KD5200_ERR_REPLUGGED)
        Say(Formatted(
            ("stopped: the player was unplugged; nothing was " + std::string(verb) + "%s").c_str(),
            after));
    return ExitForCode(code);
}

Message CodeText(int code) {
    // An entry listed moments ago that is gone was taken by another program.
    if (code == KD5200_ERR_NO_ENTRY) return Formatted("the file is no longer on the player");
    std::string text = kd5200::ErrorMessage(code);
    if (text == "Unknown error") // a code the library does not give
        return Formatted("error %s of the device library", code);
    text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    // The library's own text, from its catalogue, for the terminal.
    return {text, platform::InPersonsLanguage([code] {
                std::string shown = kd5200::ErrorMessage(code);
                shown[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(shown[0])));
                return shown;
            })};
}

int ConversionOf(const std::string& name, std::string& pcName) {
    std::vector<char> out(name.size() + 8);
    pcName = name;
    if (DevReplaceExtension(name.c_str(), "QKA", "WAV", out.data(), static_cast<int>(out.size()))) {
        pcName = out.data();
        return KD5200_CONVERT_QKA_TO_WAV;
    }
    if (DevReplaceExtension(name.c_str(), "QDX", "WAV", out.data(), static_cast<int>(out.size()))) {
        pcName = out.data();
        return KD5200_CONVERT_QDX_TO_WAV;
    }
    return KD5200_CONVERT_NONE;
}

int CopyToPc(int memory, const PlayerFile& file, const std::string& target, int conversion,
             bool verify, bool fresh, bool replace) {
    const std::string name = ShownText(file);
    HNameList list;
    list.Add(name.c_str(), file.number, file.size);
    DevCopyOptions options;
    options.verify = verify;
    // The layer finds the recording's kind by its name, as ConversionOf does.
    options.convertQka = options.convertQdx = conversion != KD5200_CONVERT_NONE;
    options.show = false; // said here, in kdplayer's words
    options.target = target;
    options.watch = SessionWatch();
    options.checkFirst = !fresh;
    options.progress = CopyReports();
    // A target found present at the command's start was refused there
    // without --force; one that came meanwhile is not replaced unasked.
    bool refused = false;
    options.overwrite = [&](const std::string& path, bool, bool) {
        if (replace) return DevOverwriteAnswer{DevOverwrite::kReplace};
        if (g_bar) g_bar->Clear();
        Say(Formatted("'%s' exists; --force replaces it", path));
        refused = true;
        return DevOverwriteAnswer{DevOverwrite::kStop};
    };
    const DevCopyResult copy = DevUploadFiles(nullptr, memory, nullptr, list, options);
    if (refused) return KD5200_ERR_FILE_WRITE;
    if (copy.code == KD5200_ERR_NONE || copy.code == KD5200_ERR_CANCELLED) return copy.code;
    const DevFileResult failed = copy.files.empty() ? DevFileResult{} : copy.files.back();
    if (failed.differs) {
        if (g_bar) g_bar->Clear();
        Say(Formatted("%s: the copy read back differs from the player's file", name));
        return KD5200_ERR_STORAGE;
    }
    return Failed(failed.pcSide ? target : name, copy.code, failed.systemError);
}

int CopyToMemory(int memory, const PlayerFile& file, std::vector<unsigned char>& data) {
    const device::ProgressGuard reports(CopyReports());
    const std::string name = ShownText(file);
    if (const int code =
            DevReadEntry(nullptr, memory, file.number, file.size, nullptr, data, false))
        return Failed(name, code, errno);
    // An entry that now has another size is not the file that was listed.
    if (data.size() != file.size) return Failed(name, KD5200_ERR_NO_ENTRY);
    if (g_bar) g_bar->Checking();
    bool same = false;
    if (const int code = DevCompareEntryWith(nullptr, memory, file.number, file.size, nullptr,
                                             data.data(), data.size(), same))
        return Failed(name, code, errno);
    if (!same) {
        if (g_bar) g_bar->Clear();
        Say(Formatted("%s: the copy read back differs from the player's file", name));
        return KD5200_ERR_STORAGE;
    }
    return Interrupted() ? KD5200_ERR_CANCELLED : KD5200_ERR_NONE;
}

int CopyToStdout(int memory, const PlayerFile& file, int conversion, bool verify, bool fresh) {
    const device::ProgressGuard reports(CopyReports());
    // The file is had (and checked) whole in a scratch file first; one
    // without a name unless the library converts into it.
    platform::OpenFile held;
    if (conversion == KD5200_CONVERT_NONE) {
        if (!fresh)
            if (const device::Change change = Changed(memory, {file});
                change != device::Change::kNone)
                return Failed(ShownText(file), device::ChangeCode(change));
        held.Reset(platform::OpenUnnamedTempFile("kdplayer-"));
        if (held.Fd() < 0) return Failed("-", KD5200_ERR_FILE_WRITE, errno);
        int writeError = 0;
        const int code = verify ? ReadChecked(memory, file, held.Fd(), nullptr, "-")
                                : DevReadEntryToFile(nullptr, memory, file.number, file.size,
                                                     nullptr, held.Fd(), writeError);
        if (writeError != 0) return Failed("-", code, writeError);
        if (code != KD5200_ERR_NONE)
            return verify ? code : Failed(ShownText(file), code, DevApi().GetWindowsError());
        if (lseek(held.Fd(), 0, SEEK_SET) != 0) return Failed("-", KD5200_ERR_FILE_READ, errno);
    } else {
        Scratch scratch;
        if (scratch.Path().empty()) return Failed("-", KD5200_ERR_FILE_WRITE, errno);
        if (const int code =
                CopyToPc(memory, file, scratch.Path(), conversion, verify, fresh, true))
            return code;
        held.Reset(platform::OpenForReading(scratch.Path()));
        if (held.Fd() < 0) return Failed("-", KD5200_ERR_FILE_READ, errno);
    }
    std::vector<char> buffer(1 << 20);
    std::fflush(stdout);
    platform::UseForData(stdout);
    for (;;) {
        const ssize_t n = read(held.Fd(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
            const ssize_t w = write(STDOUT_FILENO, buffer.data() + at, static_cast<size_t>(n - at));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) return Failed("-", KD5200_ERR_FILE_WRITE, errno);
            at += w;
        }
    }
    return KD5200_ERR_NONE;
}

CopyResult CopyToPlayer(int memory, const std::string& path, bool verify, bool findEntry) {
    CopyResult result;
    HNameList list;
    list.Add(path.c_str(), 0, 0);
    // The device layer shows the copy's own failures through the library and
    // reads the copy back with verify; what the read-back found is said here.
    DevCopyOptions options;
    options.verify = verify;
    options.showCheck = false;
    options.watch = SessionWatch();
    options.progress = CopyReports();
    const DevCopyResult copy = DevDownloadFiles(nullptr, memory, list, options);
    result.code = copy.code;
    const std::string name = DevPcBaseName(path);
    if (!copy.files.empty()) {
        const DevFileResult& file = copy.files.back();
        if (file.differs) {
            if (g_bar) g_bar->Clear();
            Say(Formatted("%s: the copy read back differs from the player's file", name));
        } else if (file.unchecked && file.code == KD5200_ERR_NO_ENTRY) {
            // Another program changed the memory meanwhile: the copy is
            // there, but cannot be told from what was added.
            if (g_bar) g_bar->Clear();
            Say(Formatted("%s: copied, but the player changed meanwhile (another program); it "
                          "stays on the player unchecked",
                          name));
            result.kept = true;
            return result;
        } else if (file.unchecked) {
            Failed(name, file.code, file.systemError);
        }
        if (file.end == DevCopyEnd::kKeptUnchecked) return Unchecked(result, name, true);
    }
    if (result.code != KD5200_ERR_NONE || !findEntry) return result;
    std::vector<PlayerFile> files;
    // The player holds the name in its code page.
    std::string stored;
    if (!DevNameToPlayer(name, stored)) stored = name;
    if (!DevListEntryNames(memory, files, true) || files.empty() ||
        (files.back().longName != stored && files.back().shortName != stored)) {
        const bool lost = !DevGetHandle() || !DevApi().TestConnection();
        result.code = Failed(name, lost ? KD5200_ERR_NOT_ATTACHED : KD5200_ERR_NO_ENTRY);
        // The copy went through (and was checked) before the player was lost: it is there.
        if (lost) return Unchecked(result, name, false);
        return result;
    }
    result.added = files.back();
    return result;
}

} // namespace kdplayer
