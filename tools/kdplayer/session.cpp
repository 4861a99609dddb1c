#include "tools/kdplayer/session.h"

#include "tools/kdplayer/exit_codes.h"
#include "tools/kdplayer/progress_bar.h"
#include "lib/device/device_layer.h"
#include "base/resources/strings.h"

#include <strings.h>

#include <cstdio>
#include <optional>

namespace kdplayer {

int ExitForCode(int code) {
    switch (code) {
    case KD5200_ERR_NONE:
        return kExitOk;
    case KD5200_ERR_NOT_CONNECTED:
    case KD5200_ERR_NOT_ATTACHED:
    case KD5200_ERR_REPLUGGED:
    case KD5200_ERR_NO_CAPACITY:
    case KD5200_ERR_BAD_HANDLE:
        return kExitNoPlayer;
    case KD5200_ERR_FILE_NOT_FOUND:
        return kExitNotFound;
    case KD5200_ERR_NO_ENTRY:
        return kExitChanged;
    case KD5200_ERR_CANCELLED:
        return kExitPartial;
    default:
        return kExitFailed;
    }
}

namespace {

std::vector<std::string>& Said() {
    static std::vector<std::string> messages;
    return messages;
}

// Watches the player from its opening for the rest of the command.
std::optional<device::PlayerWatch>& Watch() {
    static std::optional<device::PlayerWatch> watch;
    return watch;
}

} // namespace

void Say(const Message& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "kdplayer: %s\n", message.shown.c_str());
    Said().push_back(message.english);
}

const std::vector<std::string>& SaidMessages() {
    return Said();
}

Session::~Session() {
    if (!open_) return;
    // As DevExit, without writing the time-outs back into Songdock's settings.
    const KD5200_HANDLE handle = DevGetHandle();
    DevClose();
    DevApi().Free(handle);
    device::UnloadDeviceLibrary();
}

int Session::Connect() {
    DevInit();
    open_ = true;
    int count = 0;
    int mask = 0;
    if (!DevConnect(false, &count, &mask)) {
        Message why = TableText(sid::kPlayerNotConnected);
        if (!DevLibraryLoaded() && !DevLibraryError().empty())
            why = why + " (" + DevLibraryError() + ")";
        Say(why);
        return kExitNoPlayer;
    }
    Watch().emplace();
    return kExitOk;
}

bool Session::Present(int memory) const {
    if (DevIsStale(memory)) DevRefreshMemory(memory);
    return DevGetCapacityBlocks(memory) > 0;
}

int ParseMemory(const std::string& word) {
    if (word == "internal" || word == "0") return 0;
    if (word == "external" || word == "1") return 1;
    return -1;
}

const char* MemoryWord(int memory) {
    return memory == 0 ? "internal" : "external";
}

Message MemoryName(int memory) {
    return TableText(memory == 0 ? sid::kInternalMemory : sid::kExternalMemory);
}

bool ListMemory(const Session& session, int memory, std::vector<PlayerFile>& files, int& code) {
    // The directory is read again unless it is fresh: read since the
    // connection and not changed by this program since.
    if (DevListEntryNames(memory, files, false)) return true;
    if (!DevGetHandle()) {
        Say(TableText(sid::kPlayerNotConnected));
        code = kExitNoPlayer;
    } else if (DevDirectoryUnreadable(memory)) {
        Say(MemoryName(memory) + ": " + Formatted(text::kMemoryUnreadable));
        code = kExitFailed;
    } else {
        Say(MemoryName(memory) + ": " + TableText(sid::kNotConnected));
        code = kExitNoPlayer;
    }
    (void)session;
    return false;
}

std::string ShownText(const PlayerFile& file) {
    return DevNameToText(ShownName(file));
}

const PlayerFile* FindByName(const std::vector<PlayerFile>& files, const std::string& name) {
    for (const PlayerFile& file : files)
        if (file.longName == name || file.shortName == name) return &file;
    for (const PlayerFile& file : files)
        if (DevNameToText(file.longName) == name || DevNameToText(file.shortName) == name)
            return &file;
    return nullptr;
}

namespace {

bool IsNumber(const std::string& word) {
    if (word.empty() || word.size() > 9) return false;
    for (const char c : word)
        if (c < '0' || c > '9') return false;
    return true;
}

// The names of the listed files as text, each read once for all the words.
struct NameTexts {
    std::string longText, shortText;
};

// The entries a name fits, by the first rule any entry fits: the player's
// bytes exactly, else the name as text, else the text ignoring case.
std::vector<const PlayerFile*> Matching(const std::vector<PlayerFile>& files,
                                        const std::vector<NameTexts>& texts,
                                        const std::string& word) {
    const auto fits = [&](int rule, size_t i) {
        if (rule == 0) return files[i].longName == word || files[i].shortName == word;
        if (rule == 1) return texts[i].longText == word || texts[i].shortText == word;
        return strcasecmp(texts[i].longText.c_str(), word.c_str()) == 0 ||
               strcasecmp(texts[i].shortText.c_str(), word.c_str()) == 0;
    };
    std::vector<const PlayerFile*> matches;
    for (int rule = 0; rule < 3 && matches.empty(); ++rule)
        for (size_t i = 0; i < files.size(); ++i)
            if (fits(rule, i)) matches.push_back(&files[i]);
    return matches;
}

} // namespace

int ResolveFiles(const std::vector<std::string>& words, const std::vector<PlayerFile>& files,
                 std::vector<PlayerFile>& found, bool quiet) {
    int code = kExitOk;
    const auto fail = [&](int status, const Message& message) {
        if (!quiet) Say(message);
        if (code == kExitOk) code = status;
    };
    std::vector<NameTexts> texts;
    for (const PlayerFile& file : files)
        texts.push_back({DevNameToText(file.longName), DevNameToText(file.shortName)});
    for (const std::string& word : words) {
        if (IsNumber(word)) {
            const size_t number = std::stoul(word);
            if (number < files.size()) found.push_back(files[number]);
            else
                fail(kExitNotFound, Formatted("'%s': no such file on the player", word));
            continue;
        }
        const std::vector<const PlayerFile*> matches = Matching(files, texts, word);
        if (matches.size() == 1) {
            found.push_back(*matches[0]);
        } else if (matches.empty()) {
            fail(kExitNotFound, Formatted("'%s': no such file on the player", word));
        } else {
            // Never a guess: two entries whose names read alike (bytes the
            // code page cannot show, or case) are told apart by number.
            std::string numbers;
            for (const PlayerFile* match : matches) {
                if (!numbers.empty()) numbers += ", ";
                numbers += std::to_string(match->number);
            }
            fail(kExitUsage,
                 Formatted("'%s' is ambiguous: it names the files %s; give the number of one", word,
                           numbers));
        }
    }
    return code;
}

device::ShownEntry Shown(const PlayerFile& file) {
    return {file.number, ShownText(file), file.size};
}

std::vector<device::ShownEntry> Shown(const std::vector<PlayerFile>& files) {
    std::vector<device::ShownEntry> shown;
    shown.reserve(files.size());
    for (const PlayerFile& file : files)
        shown.push_back(Shown(file));
    return shown;
}

device::Change Changed(int memory, const std::vector<PlayerFile>& files, bool whole) {
    if (!Watch()) return device::Change::kUnplugged;
    return whole ? Watch()->Memory(memory, Shown(files)) : Watch()->Entries(memory, Shown(files));
}

bool StillListed(int memory, const PlayerFile& file) {
    return Changed(memory, {file}) == device::Change::kNone;
}

const device::PlayerWatch* SessionWatch() {
    return Watch() ? &*Watch() : nullptr;
}

} // namespace kdplayer
