// get, put, rm, mv, up and down: files between the PC and the player and
// on the player.
#include "tools/kdplayer/commands.h"
#include "tools/kdplayer/copies.h"
#include "tools/kdplayer/destination.h"
#include "tools/kdplayer/exit_codes.h"
#include "tools/kdplayer/interrupt.h"
#include "tools/kdplayer/pc_output.h"
#include "tools/kdplayer/player_edits.h"
#include "tools/kdplayer/session.h"
#include "tools/kdplayer/space_check.h"
#include "lib/device/device_layer.h"
#include "base/platform/folder_files.h"

#include <algorithm>
#include <optional>
#include <string>

namespace kdplayer {

namespace {

// The memory word of a command, checked; -1 after saying what is wrong.
int MemoryArgument(const std::string& word) {
    const int memory = ParseMemory(word);
    if (memory < 0) Say(Formatted("'%s' is no memory: say internal or external", word));
    return memory;
}

// The start of a command on the files of one memory: the memory the word
// names, the player connected and that memory listed. Empty when the command
// may go on, else the status it ends with (what went wrong is said).
std::optional<int> OpenMemory(const std::string& word, Session& session, int& memory,
                              std::vector<PlayerFile>& listed) {
    memory = MemoryArgument(word);
    if (memory < 0) return kExitUsage;
    if (const int code = session.Connect()) return code;
    int status = kExitOk;
    if (!ListMemory(session, memory, listed, status)) return status;
    return std::nullopt;
}

// Says under which PC name a file whose player name does not decode was saved.
Message EscapedNameText(const std::string& playerName, const std::string& pcName) {
    return Formatted("%s saved as '%s': bytes of its name that are not %s text are written as "
                     "%%XX, so nothing of the name is lost",
                     DevNameToText(playerName), pcName, DevGetCodePage());
}

// A name in quotes, for messages.
std::string Quoted(const std::string& name) {
    std::string text = "'";
    text += name;
    text += '\'';
    return text;
}

bool ShowBar(const Options& options) {
    return !options.quiet && StderrIsTerminal();
}

} // namespace

int RunGet(const Options& options) {
    if (options.words.size() < 2) {
        Say(Formatted("get needs a memory and at least one file"));
        return kExitUsage;
    }
    std::vector<std::string> words(options.words.begin() + 1, options.words.end());
    Destination dest;
    if (const int code = TakeDestination(options, words, 1, true, dest)) return code;
    Session session;
    int memory = -1;
    std::vector<PlayerFile> listed;
    if (const auto end = OpenMemory(options.words[0], session, memory, listed)) return *end;
    int status = kExitOk;
    std::vector<PlayerFile> files;
    if (const int code = ResolveFiles(words, listed, files)) {
        // A last word meant as the copy's PC name is no player file either.
        std::vector<PlayerFile> probe;
        if (code == kExitNotFound && options.output.empty() && options.targetDir.empty() &&
            words.size() > 1 && ResolveFiles({words.back()}, listed, probe, true) != kExitOk)
            Say(Formatted(
                "nothing was copied; a copy's PC name goes after -o, a new folder after -t"));
        return code;
    }
    const bool toStdout = dest.standardOutput;
    const bool intoFolder = dest.folder;
    if (!intoFolder && files.size() > 1) {
        Say(Formatted("'%s' takes one file; give -t DIR for several", dest.path));
        return kExitUsage;
    }
    std::vector<std::string> targets;
    std::vector<int> conversions;
    std::vector<Message> escaped; // what to say once the file is copied
    for (const PlayerFile& file : files) {
        // The PC name in the PC's text; bytes that do not decode as "%HH".
        bool whole = true;
        const std::string text = DevNameToPcName(ShownName(file), &whole);
        std::string pcName;
        const int conversion = options.convert ? ConversionOf(text, pcName) : KD5200_CONVERT_NONE;
        if (!options.convert) pcName = text;
        conversions.push_back(conversion);
        if (toStdout) {
            targets.push_back("-");
            escaped.emplace_back();
            continue;
        }
        targets.push_back(intoFolder ? DevTargetPath(dest.path.empty() ? nullptr : dest.path.c_str(),
                                                     pcName)
                                     : dest.path);
        escaped.push_back(whole || !intoFolder ? std::string()
                                               : EscapedNameText(ShownName(file), pcName));
        if (!options.force && Exists(targets.back())) {
            Say(Formatted("'%s' exists; --force replaces it", targets.back()));
            status = kExitFailed;
        } else if (std::count(targets.begin(), targets.end() - 1, targets.back()) > 0) {
            // Two player files never become one PC file.
            Say(Formatted("two files would both be saved as '%s'; get them one at a time",
                          targets.back()));
            status = kExitFailed;
        }
    }
    if (status != kExitOk) return status;

    uint64_t bytes = 0;
    for (const PlayerFile& file : files)
        bytes += file.size;
    ProgressBar bar(ShowBar(options) && !toStdout, static_cast<int>(files.size()), bytes);
    CopyProgress progress(&bar);
    int done = 0;
    int code = KD5200_ERR_NONE;
    for (size_t i = 0; i < files.size() && code == KD5200_ERR_NONE; ++i) {
        if (Interrupted()) {
            code = KD5200_ERR_CANCELLED;
            break;
        }
        bar.StartFile(static_cast<int>(i + 1), ShownText(files[i]));
        // The first file was listed just now; later ones are checked again.
        code = toStdout ? CopyToStdout(memory, files[i], conversions[i], options.verify, i == 0)
                        : CopyToPc(memory, files[i], targets[i], conversions[i], options.verify,
                                   i == 0, options.force);
        if (code == KD5200_ERR_NONE) {
            ++done;
            bar.FinishFile(files[i].size);
            if (!escaped[i].empty()) Say(escaped[i]);
        }
    }
    bar.Clear();
    return StoppedStatus(code, done, static_cast<int>(files.size()), "copied");
}

int RunPut(const Options& options) {
    if (options.words.size() < 2) {
        Say(Formatted("put needs a memory and at least one file"));
        return kExitUsage;
    }
    const int memory = MemoryArgument(options.words[0]);
    if (memory < 0) return kExitUsage;
    std::vector<std::string> paths(options.words.begin() + 1, options.words.end());
    std::vector<uint64_t> sizes;
    int status = kExitOk;
    for (const std::string& path : paths) {
        platform::FileStamp st;
        if (!platform::StampAt(path, st)) {
            Say(Formatted("'%s': no such file", path));
            status = kExitNotFound;
        } else if (!st.regular) {
            Say(Formatted("'%s': not a regular file", path));
            status = kExitFailed;
        }
        sizes.push_back(st.size);
    }
    if (status != kExitOk) return status;
    Session session;
    if (const int code = session.Connect()) return code;
    std::vector<PlayerFile> listed;
    if (!ListMemory(session, memory, listed, status)) return status;

    // Names already on the memory are replaced only when asked. A replace
    // copies beside the old file, which goes only once the copy is whole:
    // for that moment both take room, and the copy an entry of its own.
    std::vector<DevRoomFile> room;
    for (size_t i = 0; i < paths.size(); ++i) {
        room.push_back({sizes[i], std::nullopt});
        const PlayerFile* there = FindByName(listed, DevPcBaseName(paths[i]));
        if (!there) continue;
        if (!options.force) {
            Say(Formatted("%s is already on the %s; --force replaces it",
                          Quoted(DevPcBaseName(paths[i])), MemoryName(memory)));
            status = kExitFailed;
        }
        room.back().replaces = there->size;
    }
    if (status != kExitOk) return status;
    if (const Message shortfall =
            SpaceShortfall(room, MemoryRoom(memory, static_cast<int64_t>(listed.size())));
        !shortfall.empty()) {
        Say(Formatted("%s: %s; nothing was copied", MemoryName(memory), shortfall));
        return kExitFailed;
    }

    uint64_t bytes = 0;
    for (const uint64_t size : sizes)
        bytes += size;
    ProgressBar bar(ShowBar(options), static_cast<int>(paths.size()), bytes);
    CopyProgress progress(&bar);
    int done = 0;
    int code = KD5200_ERR_NONE;
    for (size_t i = 0; i < paths.size() && code == KD5200_ERR_NONE; ++i) {
        if (Interrupted()) {
            code = KD5200_ERR_CANCELLED;
            break;
        }
        bar.StartFile(static_cast<int>(i + 1), DevPcBaseName(paths[i]));
        // Names were checked against the listing at the start; the files
        // copied since only add their own.
        const PutResult put = PutFile(memory, paths[i], options.verify,
                                      FindByName(listed, DevPcBaseName(paths[i])));
        code = put.code;
        // A file on the player counts, even when the put did not end well.
        if (put.onPlayer) ++done;
        if (code == KD5200_ERR_NONE) bar.FinishFile(sizes[i]);
    }
    bar.Clear();
    return StoppedStatus(code, done, static_cast<int>(paths.size()), "copied");
}

int RunRemove(const Options& options) {
    if (options.words.size() < 2) {
        Say(Formatted("rm needs a memory and at least one file"));
        return kExitUsage;
    }
    Session session;
    int memory = -1;
    std::vector<PlayerFile> listed;
    if (const auto end = OpenMemory(options.words[0], session, memory, listed)) return *end;
    std::vector<PlayerFile> files;
    if (const int code = ResolveFiles({options.words.begin() + 1, options.words.end()}, listed,
                                      files))
        return code;
    // From the last entry back, so that each number still names its file.
    std::sort(files.begin(), files.end(),
              [](const PlayerFile& a, const PlayerFile& b) { return a.number > b.number; });
    files.erase(std::unique(files.begin(), files.end(),
                            [](const PlayerFile& a, const PlayerFile& b) {
                                return a.number == b.number;
                            }),
                files.end());
    int done = 0;
    for (const PlayerFile& file : files) {
        if (Interrupted()) return StoppedStatus(KD5200_ERR_CANCELLED, done, int(files.size()), "deleted");
        if (const int code = DeleteChecked(memory, file))
            return StoppedStatus(code, done, static_cast<int>(files.size()), "deleted");
        ++done;
    }
    return kExitOk;
}

int RunRename(const Options& options) {
    if (options.words.size() != 3) {
        Say(Formatted("mv needs a memory, a file and its new name"));
        return kExitUsage;
    }
    Session session;
    int memory = -1;
    std::vector<PlayerFile> listed;
    if (const auto end = OpenMemory(options.words[0], session, memory, listed)) return *end;
    std::vector<PlayerFile> files;
    if (const int code = ResolveFiles({options.words[1]}, listed, files)) return code;
    const std::string& newName = options.words[2];
    if (const PlayerFile* other = FindByName(listed, newName);
        other && other->number != files[0].number) {
        Say(Formatted("'%s' is already on the %s", newName, MemoryName(memory)));
        return kExitFailed;
    }
    return ExitForCode(RenameChecked(memory, files[0], newName));
}

int RunMove(const Options& options, bool up) {
    if (options.words.size() != 2) {
        Say(up ? Formatted("up needs a memory and a file")
               : Formatted("down needs a memory and a file"));
        return kExitUsage;
    }
    Session session;
    int memory = -1;
    std::vector<PlayerFile> listed;
    if (const auto end = OpenMemory(options.words[0], session, memory, listed)) return *end;
    std::vector<PlayerFile> files;
    if (const int code = ResolveFiles({options.words[1]}, listed, files)) return code;
    const int number = files[0].number;
    const int neighbour = up ? number - 1 : number + 1;
    if (neighbour < 0 || neighbour >= static_cast<int>(listed.size())) {
        Say(up ? Formatted("%s is already the first file", Quoted(ShownText(files[0])))
               : Formatted("%s is already the last file", Quoted(ShownText(files[0]))));
        return kExitFailed;
    }
    return ExitForCode(SwapChecked(memory, files[0], listed[static_cast<size_t>(neighbour)]));
}

} // namespace kdplayer
