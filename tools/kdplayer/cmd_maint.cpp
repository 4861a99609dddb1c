// format, font and raw: the maintenance commands, with the player's rules.
#include "tools/kdplayer/commands.h"
#include "tools/kdplayer/copies.h"
#include "tools/kdplayer/destination.h"
#include "tools/kdplayer/exit_codes.h"
#include "tools/kdplayer/interrupt.h"
#include "tools/kdplayer/session.h"
#include "lib/device/device_layer.h"
#include "tools/kdplayer/pc_output.h"
#include "base/platform/console.h"
#include "base/platform/error_text.h"
#include "base/platform/folder_files.h"
#include "base/platform/pipe_compare.h"
#include "base/resources/strings.h"


#include <cstdio>
#include <cstdlib>
#include <string>

namespace kdplayer {

namespace {

// The library's failure of the last call, shown by the library, as a status.
int LibraryFailure() {
    const int code = DevApi().GetError();
    if (code != KD5200_ERR_CANCELLED)
        DevApi().DispError(nullptr, code, DevApi().GetWindowsError());
    return ExitForCode(code != KD5200_ERR_NONE ? code : KD5200_ERR_FILE_WRITE);
}

// An unsigned 32-bit number, or false.
bool ParseCount(const std::string& word, uint32_t& value) {
    if (word.empty() || word.size() > 10 || word.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long long number = std::strtoull(word.c_str(), nullptr, 10);
    if (number > 0xFFFFFFFFull) return false;
    value = static_cast<uint32_t>(number);
    return true;
}

// Asks the question on the terminal; true for an answer beginning with y.
bool Confirm(const std::string& question) {
    std::fprintf(stderr, "%s [y/N] ", question.c_str());
    std::fflush(stderr);
    char line[64];
    if (!std::fgets(line, sizeof line, stdin)) return false;
    return line[0] == 'y' || line[0] == 'Y';
}

// Writes a file of the player through a named temporary beside target that
// replaces it whole: write(path) makes it and gives the exit status.
template <typename Write>
int WriteWhole(const std::string& target, Write write) {
    PcOutput output;
    if (const int error = output.Create(target)) {
        Say(target + ": " + platform::SystemErrorText(error));
        return kExitFailed;
    }
    if (const int status = write(output.Path())) return status;
    if (Interrupted()) return kExitPartial;
    if (const int error = output.Commit()) {
        Say(target + ": " + platform::SystemErrorText(error));
        return kExitFailed;
    }
    return kExitOk;
}

int FontCheck(const std::string& path, uint32_t size) {
    platform::PipeCompare pipe(path);
    if (pipe.Path().empty()) return kExitFailed;
    if (!DevApi().UploadFont(nullptr, DevGetHandle(), pipe.Path().c_str(), 0,
                             static_cast<int32_t>(size)))
        return LibraryFailure();
    if (pipe.Same()) return kExitOk;
    Say(Formatted("the font read back differs from '%s'", path));
    return kExitFailed;
}

} // namespace

int RunFormat(const Options& options) {
    if (options.words.size() != 1) {
        Say(Formatted("format needs one memory"));
        return kExitUsage;
    }
    const int memory = ParseMemory(options.words[0]);
    if (memory < 0) {
        Say(Formatted("'%s' is no memory: say internal or external", options.words[0]));
        return kExitUsage;
    }
    const bool terminal = platform::IsTerminal(stdin) && platform::IsTerminal(stderr);
    if (!options.yes && !terminal) {
        Say(Formatted("format deletes every file of the memory and asks first; without a terminal, "
                      "give --yes"));
        return kExitUsage;
    }
    Session session;
    if (const int code = session.Connect()) return code;
    if (!session.Present(memory)) {
        Say(MemoryName(memory) + ": " + TableText(sid::kNotConnected));
        return kExitNoPlayer;
    }
    if (!options.yes) {
        std::string question =
            MemoryName(memory).shown + ": " + strings::Text(sid::kFormatQuestion);
        for (char& c : question)
            if (c == '\n') c = ' ';
        if (!Confirm(question)) {
            Say(Formatted("not formatted"));
            return kExitFailed;
        }
    }
    // The layer checks the player again before it formats.
    const int code = options.low ? DevFormatLow(nullptr, memory) : DevFormat(nullptr, memory);
    return ExitForCode(code);
}

int RunFont(const Options& options) {
    const std::vector<std::string>& w = options.words;
    const std::string what = w.empty() ? "" : w[0];
    if (!((what == "get" && w.size() <= 2) || (what == "put" && w.size() == 2) ||
          (what == "erase" && w.size() == 1))) {
        Say(Formatted("font takes: get [-o FILE | -t DIR | DIR], put FILE or erase"));
        return kExitUsage;
    }
    Destination dest;
    if (what == "get") {
        std::vector<std::string> rest(w.begin() + 1, w.end());
        if (const int code = TakeDestination(options, rest, 0, false, dest)) return code;
        if (!rest.empty()) {
            Say(Formatted("'%s' is no folder; -o FILE names the font's copy", rest[0]));
            return kExitUsage;
        }
    }
    if (what == "put" && !Exists(w[1])) {
        Say(Formatted("'%s': no such file", w[1]));
        return kExitNotFound;
    }
    Session session;
    if (const int code = session.Connect()) return code;
    KD5200_FONTINFO font{};
    const bool hasFont = DevApi().GetFontInfo(DevGetHandle(), &font) != 0;
    font.fileName[sizeof font.fileName - 1] = '\0';
    if (what == "erase") {
        // Erasing changes the internal memory.
        DevSetStale(0, true);
        return DevApi().EraseFont(DevGetHandle()) ? kExitOk : LibraryFailure();
    }
    if (what == "put") {
        if (hasFont && !options.force) {
            Say(Formatted("the player holds the font '%s'; --force replaces it", font.fileName));
            return kExitFailed;
        }
        // A name the player's code page cannot hold is refused, naming the character.
        if (!DevCheckPlayerName(nullptr, w[1])) return kExitFailed;
        DevSetStale(0, true);
        if (!DevApi().DownloadFont(nullptr, DevGetHandle(), w[1].c_str())) return LibraryFailure();
        if (!options.verify) return kExitOk;
        platform::FileStamp st;
        platform::StampAt(w[1], st);
        return FontCheck(w[1], static_cast<uint32_t>(st.size));
    }
    if (!hasFont) {
        Say(CodeText(KD5200_ERR_NO_FONT));
        return kExitNotFound;
    }
    const std::string target =
        dest.folder ? DevTargetPath(dest.path.empty() ? nullptr : dest.path.c_str(),
                                    font.fileName)
                    : dest.path;
    if (!options.force && Exists(target)) {
        Say(Formatted("'%s' exists; --force replaces it", target));
        return kExitFailed;
    }
    return WriteWhole(target, [&](const std::string& into) {
        if (!DevApi().UploadFont(nullptr, DevGetHandle(), into.c_str(), 0,
                                 static_cast<int32_t>(font.size)))
            return LibraryFailure();
        return options.verify ? FontCheck(into, font.size) : int{kExitOk};
    });
}

int RunRaw(const Options& options) {
    if (options.words.size() != 4) {
        Say(Formatted("raw needs a memory, the first block, the block count and the output file"));
        return kExitUsage;
    }
    const int memory = ParseMemory(options.words[0]);
    uint32_t first = 0, count = 0;
    if (memory < 0) {
        Say(Formatted("'%s' is no memory: say internal or external", options.words[0]));
        return kExitUsage;
    }
    if (!ParseCount(options.words[1], first) || !ParseCount(options.words[2], count)) {
        Say(Formatted("FIRST and COUNT are numbers of blocks"));
        return kExitUsage;
    }
    const std::string& target = options.words[3];
    Session session;
    if (const int code = session.Connect()) return code;
    if (!session.Present(memory)) {
        Say(MemoryName(memory) + ": " + TableText(sid::kNotConnected));
        return kExitNoPlayer;
    }
    // The range rule of the raw-data command, in unsigned 32-bit arithmetic.
    if (count >= 0x40000u || first + count > DevGetCapacityBlocks(memory) || first + count < first) {
        Say(TableText(sid::kRawDataRangeExceeded));
        return kExitUsage;
    }
    if (!options.force && Exists(target)) {
        Say(Formatted("'%s' exists; --force replaces it", target));
        return kExitFailed;
    }
    return WriteWhole(target, [&](const std::string& into) {
        return DevApi().UploadRawData(nullptr, DevGetHandle(), memory, static_cast<int32_t>(first),
                                      static_cast<int32_t>(count), into.c_str(), 0,
                                      static_cast<int32_t>(count * KD5200_BLOCK_SIZE))
                   ? int{kExitOk}
                   : LibraryFailure();
    });
}

} // namespace kdplayer
