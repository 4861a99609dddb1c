#include "tools/kdplayer/sync_folder.h"

#include "tools/kdplayer/session.h"
#include "lib/device/device_layer.h"
#include "base/platform/code_page.h"
#include "base/platform/error_text.h"
#include "base/platform/folder_files.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

namespace kdplayer {

namespace {

// What the sync says of each kind of entry it skips, for the catalogue.
[[maybe_unused]] constexpr const char* kSkippedTexts[] = {
    SD_TEXT("%s: skipped, a folder"), SD_TEXT("%s: skipped, a fifo"),
    SD_TEXT("%s: skipped, a socket"), SD_TEXT("%s: skipped, a device"),
    SD_TEXT("%s: skipped, a dangling link")};

// A player file name holds at most this many bytes.
constexpr size_t kMaxPlayerName = 255;

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Why the player cannot hold the name (in its code page as bytes), or "".
Message NameFault(const std::string& bytes) {
    if (bytes.size() > kMaxPlayerName)
        return Formatted("its name takes %s bytes on the player; player file names hold at most %s",
                         bytes.size(), kMaxPlayerName);
    const platform::CodePage codePage(DevGetCodePage());
    size_t at = 0, last = 0, lastLength = 0;
    // Only single-byte characters are checked: the second byte of a
    // double-byte character may be any byte.
    for (const size_t length : codePage.CharacterLengths(bytes)) {
        const char c = bytes[at];
        const auto byte = static_cast<unsigned char>(c);
        if (length == 1 && (byte < 0x20 || byte == 0x7F))
            return Formatted(
                "its name holds a control character, which player file names cannot hold");
        if (length == 1 && std::strchr("\"*/:<>?\\|", c) != nullptr)
            return Formatted("its name holds %s, which player file names cannot hold",
                             Quoted(std::string(1, c)));
        last = at;
        lastLength = length;
        at += length;
    }
    if (lastLength == 1 && (bytes[last] == '.' || bytes[last] == ' '))
        return Formatted("its name ends in a dot or a space, which player file names cannot");
    return "";
}

// Why the code page cannot write the name.
Message UnencodableText(const platform::Unencodable& failure) {
    const DevUnencodableCharacter shown = DevDescribeUnencodable(failure);
    return Formatted("its name holds %s (%s), which player file names in %s cannot hold",
                     Quoted(shown.character), shown.point, DevGetCodePage());
}

// Opens the file and reads its first byte, so that a file the sync could
// not copy is found before anything changes. "" or the reason.
Message ReadFault(const std::string& path, uint64_t& size) {
    const int fd = platform::OpenForReading(path, true);
    if (fd < 0) return Formatted("cannot be read: %s", platform::SystemErrorText(errno));
    Message fault;
    platform::FileStamp st;
    char byte;
    if (!platform::StampOf(fd, st))
        fault = Formatted("cannot be read: %s", platform::SystemErrorText(errno));
    else if (!st.regular)
        fault = Formatted("is no longer a regular file");
    // Freshly opened, the file is read from its start.
    else if (st.size > 0 && read(fd, &byte, 1) < 0)
        fault = Formatted("cannot be read: %s", platform::SystemErrorText(errno));
    size = st.size;
    close(fd);
    return fault;
}

const char* KindOf(platform::FolderEntry::Kind kind) {
    switch (kind) {
    case platform::FolderEntry::Folder:
        return "folder";
    case platform::FolderEntry::Fifo:
        return "fifo";
    case platform::FolderEntry::Socket:
        return "socket";
    default:
        return "device";
    }
}

// Code points of UTF-8 text (invalid bytes as themselves) and back.
std::u32string Decode(const std::string& text) {
    std::u32string points;
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const size_t length = lead < 0x80       ? 1
                              : lead >> 5 == 6  ? 2
                              : lead >> 4 == 14 ? 3
                              : lead >> 3 == 30 ? 4
                                                : 0;
        char32_t point = length == 1   ? lead
                         : length == 2 ? lead & 0x1F
                         : length == 3 ? lead & 0x0F
                                       : lead & 0x07;
        bool whole = length > 0 && at + length <= text.size();
        for (size_t i = 1; whole && i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            whole = next >> 6 == 2;
            point = point << 6 | (next & 0x3F);
        }
        if (!whole) {
            points.push_back(lead);
            ++at;
            continue;
        }
        points.push_back(point);
        at += length;
    }
    return points;
}

void Append(std::string& text, char32_t point) {
    if (point < 0x80) {
        text += static_cast<char>(point);
    } else if (point < 0x800) {
        text += static_cast<char>(0xC0 | point >> 6);
        text += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        text += static_cast<char>(0xE0 | point >> 12);
        text += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | point >> 18);
        text += static_cast<char>(0x80 | (point >> 12 & 0x3F));
        text += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (point & 0x3F));
    }
}

} // namespace

std::string FoldedName(const std::string& text) {
    // Upper case by Unicode's tables, whatever the person's locale.
    std::string folded;
    for (const char32_t point : Decode(text)) {
        if (point < 0x80)
            folded += static_cast<char>(point >= 'a' && point <= 'z' ? point - 32 : point);
        else
            Append(folded, platform::UnicodeUpper(point));
    }
    return folded;
}

bool ReadSyncFolder(const std::string& dir, SyncFolder& folder) {
    std::vector<platform::FolderEntry> entries;
    if (const int error = platform::ListFolder(dir, entries)) {
        Say(dir + ": " + platform::SystemErrorText(error));
        return false;
    }
    for (const platform::FolderEntry& entry : entries) {
        if (entry.name[0] == '.') continue;
        const std::string& name = entry.name;
        if (entry.kind == platform::FolderEntry::DanglingLink) {
            folder.skipped.push_back({name, "dangling link"});
            continue;
        }
        if (entry.kind == platform::FolderEntry::Unreadable) {
            folder.problems.push_back(
                {"unreadable", name,
                 Formatted("cannot be read: %s", platform::SystemErrorText(entry.error))});
            continue;
        }
        if (entry.kind != platform::FolderEntry::Regular) {
            folder.skipped.push_back({name, KindOf(entry.kind)});
            continue;
        }
        SyncFile file;
        file.name = name;
        file.size = entry.size;
        platform::Unencodable failure;
        if (!DevNameToPlayer(name, file.playerBytes, &failure)) {
            file.playerBytes.clear();
            folder.problems.push_back({"name", name, UnencodableText(failure)});
            file.usable = false;
        } else if (const Message fault = NameFault(file.playerBytes); !fault.empty()) {
            folder.problems.push_back({"name", name, fault});
            file.usable = false;
        } else {
            file.folded = FoldedName(DevNameToText(file.playerBytes));
        }
        if (const Message fault = ReadFault(dir + "/" + name, file.size); !fault.empty()) {
            folder.problems.push_back({"unreadable", name, fault});
            file.usable = false;
        } else if (file.size > UINT32_MAX) {
            folder.problems.push_back(
                {"too_large", name,
                 Formatted("it holds %s bytes; a player file holds at most %s", file.size,
                           UINT32_MAX)});
            file.usable = false;
        }
        folder.files.push_back(std::move(file));
    }
    std::sort(folder.files.begin(), folder.files.end(),
              [](const SyncFile& a, const SyncFile& b) { return a.name < b.name; });
    std::sort(folder.skipped.begin(), folder.skipped.end(),
              [](const SyncSkipped& a, const SyncSkipped& b) { return a.name < b.name; });

    // Names the player does not tell apart (letter case, or one name given
    // in UTF-8 and in the code page): neither can be copied, since either
    // would stand for the other on every run.
    std::map<std::string, std::vector<size_t>> byFolded;
    for (size_t i = 0; i < folder.files.size(); ++i)
        if (!folder.files[i].folded.empty()) byFolded[folder.files[i].folded].push_back(i);
    for (const auto& [folded, twins] : byFolded) {
        if (twins.size() < 2) continue;
        for (const size_t i : twins) {
            std::string others;
            for (const size_t j : twins)
                if (j != i) others += (others.empty() ? "" : ", ") + folder.files[j].name;
            folder.files[i].usable = false;
            folder.problems.push_back(
                {"case_twin", folder.files[i].name,
                 Formatted("the player does not tell its name from %s (letter case)", others)});
        }
    }
    std::stable_sort(folder.problems.begin(), folder.problems.end(),
                     [](const SyncProblem& a, const SyncProblem& b) { return a.name < b.name; });
    return true;
}

} // namespace kdplayer
