#include "tools/kdplayer/manifest.h"

#include "base/platform/error_text.h"
#include "tools/kdplayer/confined_open.h"
#include "tools/kdplayer/sha256.h"


#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

namespace kdplayer {

namespace {

constexpr const char* kMagic = "kdplayer-backup 2";
constexpr const char* kFirstMagic = "kdplayer-backup 1";

std::string Escape(const std::string& name) {
    std::string out;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || c == '%') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

// A name written with %XX; false when it is damaged, or when it holds a NUL
// byte (which no file name can hold; nul is then set).
bool Unescape(const std::string& text, std::string& name, bool* nul = nullptr) {
    name.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            name += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const std::string hex = text.substr(i + 1, 2);
        char* end = nullptr;
        const long value = std::strtol(hex.c_str(), &end, 16);
        if (hex.size() != 2 || *end != '\0') return false;
        if (value == 0) {
            if (nul) *nul = true;
            return false;
        }
        name += static_cast<char>(value);
        i += 2;
    }
    return !name.empty();
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; in >> field;)
        fields.push_back(field);
    return fields;
}

bool Digest(const std::string& text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

bool Number(const std::string& text, uint64_t limit, uint64_t& value) {
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::strtoull(text.c_str(), nullptr, 10);
    return value <= limit;
}

// Whether a stored name stays inside its folder.
bool PlainName(const std::string& name) {
    return name.find('/') == std::string::npos && name != "." && name != "..";
}

std::string EndRecord(const Manifest& manifest, const std::string& lines) {
    uint64_t files = manifest.files.size(), bytes = 0;
    for (const ManifestFile& file : manifest.files)
        bytes += file.size;
    if (manifest.font) {
        ++files;
        bytes += manifest.font->size;
    }
    return "end " + std::to_string(files) + " " + std::to_string(bytes) + " " +
           Sha256Of(lines.data(), lines.size()) + "\n";
}

// One line of sha256sum's output; a name with a backslash or a line feed is
// written escaped, as sha256sum does, with the line starting with '\'.
std::string SumLine(const std::string& sha256, const std::string& path) {
    std::string name;
    for (const char c : path) {
        if (c == '\\') name += "\\\\";
        else if (c == '\n') name += "\\n";
        else name += c;
    }
    return (name.size() != path.size() ? "\\" : "") + sha256 + "  " + name + "\n";
}

// Reads one record into manifest; false (why set) when it is not one.
bool ParseRecord(const std::vector<std::string>& f, Manifest& manifest, int expected[2],
                 Message& why) {
    bool nul = false;
    auto names = [&](const std::string& stored, const std::string& name, ManifestFile& file) {
        if (Unescape(stored, file.stored, &nul) && Unescape(name, file.name, &nul) &&
            PlainName(file.stored))
            return true;
        if (nul)
            why = Formatted("%s: a name holds %%00, a NUL byte, which no file name can hold", why);
        return false;
    };
    if (f[0] == "firmware") {
        return f.size() != 2 || Unescape(f[1], manifest.firmware);
    } else if (f[0] == "memory" && f.size() == 2 && (f[1] == "internal" || f[1] == "external")) {
        manifest.memories[f[1] == "internal" ? 0 : 1] = true;
        return true;
    } else if (f[0] == "file" && f.size() == 7) {
        ManifestFile file;
        uint64_t order = 0;
        if (f[1] != "internal" && f[1] != "external") return false;
        file.memory = f[1] == "internal" ? 0 : 1;
        if (!manifest.memories[file.memory] || !Number(f[2], 511, order) ||
            !Number(f[3], 0xFFFFFFFFull, file.size) || !Digest(f[4]) || !names(f[5], f[6], file))
            return false;
        // Files come in their order, from 0.
        if (static_cast<int>(order) != expected[file.memory]++) return false;
        file.order = static_cast<int>(order);
        file.sha256 = f[4];
        manifest.files.push_back(std::move(file));
        return true;
    } else if (f[0] == "font" && f.size() == 5 && !manifest.font) {
        ManifestFile font;
        font.memory = -1;
        if (!Number(f[1], 0xFFFFFFFFull, font.size) || !Digest(f[2]) || !names(f[3], f[4], font))
            return false;
        font.sha256 = f[2];
        manifest.font = std::move(font);
        return true;
    }
    return false;
}

} // namespace

std::string BackupFolder(const std::string& dir, int memory) {
    return dir + (memory == 0 ? "/internal" : memory == 1 ? "/external" : "/font");
}

std::string ManifestText(const Manifest& manifest) {
    std::string text = std::string(kMagic) + "\n";
    text += "firmware " + Escape(manifest.firmware) + "\n";
    for (int memory = 0; memory < 2; ++memory) {
        if (!manifest.memories[memory]) continue;
        text += std::string("memory ") + (memory == 0 ? "internal" : "external") + "\n";
        for (const ManifestFile& file : manifest.files)
            if (file.memory == memory)
                text += std::string("file ") + (memory == 0 ? "internal " : "external ") +
                        std::to_string(file.order) + " " + std::to_string(file.size) + " " +
                        file.sha256 + " " + Escape(file.stored) + " " + Escape(file.name) + "\n";
    }
    if (manifest.font)
        text += "font " + std::to_string(manifest.font->size) + " " + manifest.font->sha256 + " " +
                Escape(manifest.font->stored) + " " + Escape(manifest.font->name) + "\n";
    return text + EndRecord(manifest, text);
}

std::string SumsText(const Manifest& manifest, const std::string& manifestText) {
    std::string text;
    for (const ManifestFile& file : manifest.files)
        text += SumLine(file.sha256, BackupFolder(".", file.memory).substr(2) + "/" + file.stored);
    if (manifest.font)
        text += SumLine(manifest.font->sha256, "font/" + manifest.font->stored);
    return text + SumLine(Sha256Of(manifestText.data(), manifestText.size()), kManifestName);
}

bool ParseManifest(const std::string& text, Manifest& manifest, Message& why) {
    // Lines as written, each with its line feed, a CR before it dropped.
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        const bool whole = end != std::string::npos;
        if (!whole) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(whole ? line + "\n" : line);
        at = end + 1;
    }
    manifest.withoutEndRecord = !lines.empty() && lines[0] == std::string(kFirstMagic) + "\n";
    if (lines.empty() || (lines[0] != std::string(kMagic) + "\n" && !manifest.withoutEndRecord)) {
        why = Formatted("not a kdplayer backup manifest");
        return false;
    }
    std::string before = lines[0];
    int expected[2] = {0, 0};
    for (size_t number = 1; number < lines.size(); ++number) {
        const std::string& line = lines[number];
        const std::vector<std::string> f = Fields(line);
        why = Formatted("line %s of the manifest is damaged", number + 1);
        if (manifest.withoutEndRecord && line.back() != '\n') {
            why = Formatted("the backup is incomplete: its manifest ends in the middle of a line");
            return false;
        }
        if (!f.empty() && f[0] == "end" && !manifest.withoutEndRecord) {
            // The last line, whole, and matching what came before it.
            if (number + 1 != lines.size() || line.back() != '\n' ||
                line != EndRecord(manifest, before)) {
                why = Formatted(
                    "the backup is incomplete or damaged: the manifest's end record does not "
                    "match the manifest");
                return false;
            }
            why = Message();
            return true;
        }
        if (!f.empty() && !ParseRecord(f, manifest, expected, why)) return false;
        before += line;
    }
    if (manifest.withoutEndRecord) {
        why = Message();
        return true;
    }
    why = Formatted("the backup is incomplete: the manifest ends without its end record");
    return false;
}

std::vector<std::pair<std::string, Message>> UnnamedFiles(int dir, const Manifest& manifest) {
    std::vector<std::pair<std::string, Message>> unnamed;
    for (const int memory : {0, 1, -1}) {
        const std::string folder = BackupFolder("", memory).substr(1);
        std::set<std::string> named;
        for (const ManifestFile& file : manifest.files)
            if (file.memory == memory) named.insert(file.stored);
        if (memory < 0 && manifest.font) named.insert(manifest.font->stored);
        // The folder itself, never through a link.
        std::vector<std::string> names;
        if (const int error = platform::ListBeneath(dir, folder, names)) {
            if (error != ENOENT || !named.empty())
                unnamed.emplace_back(folder, OpenFailureText(error));
            continue;
        }
        for (const std::string& name : names)
            if (!named.count(name))
                unnamed.emplace_back(folder + "/" + name, Formatted("is not in the manifest"));
    }
    return unnamed;
}

} // namespace kdplayer
