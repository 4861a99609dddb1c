#include "tools/kdplayer/manifest.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace kdplayer {

namespace {

constexpr const char* kMagic = "kdplayer-backup 1";

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

bool Unescape(const std::string& text, std::string& name) {
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
    return text;
}

bool ParseManifest(const std::string& text, Manifest& manifest, std::string& why) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kMagic) {
        why = "not a kdplayer backup manifest";
        return false;
    }
    int lineNumber = 1;
    int expected[2] = {0, 0};
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::vector<std::string> f = Fields(line);
        why = "line " + std::to_string(lineNumber) + " of the manifest is damaged";
        if (f.empty()) continue;
        if (f[0] == "firmware") {
            if (f.size() == 2 && !Unescape(f[1], manifest.firmware)) return false;
        } else if (f[0] == "memory" && f.size() == 2 && (f[1] == "internal" || f[1] == "external")) {
            manifest.memories[f[1] == "internal" ? 0 : 1] = true;
        } else if (f[0] == "file" && f.size() == 7) {
            ManifestFile file;
            uint64_t order = 0;
            if (f[1] != "internal" && f[1] != "external") return false;
            file.memory = f[1] == "internal" ? 0 : 1;
            if (!manifest.memories[file.memory] || !Number(f[2], 511, order) ||
                !Number(f[3], 0xFFFFFFFFull, file.size) || !Digest(f[4]) ||
                !Unescape(f[5], file.stored) || !Unescape(f[6], file.name))
                return false;
            // Files come in their order, from 0.
            if (static_cast<int>(order) != expected[file.memory]++) return false;
            if (file.stored.find('/') != std::string::npos || file.stored == "." ||
                file.stored == "..")
                return false;
            file.order = static_cast<int>(order);
            file.sha256 = f[4];
            manifest.files.push_back(std::move(file));
        } else if (f[0] == "font" && f.size() == 5 && !manifest.font) {
            ManifestFile font;
            font.memory = -1;
            if (!Number(f[1], 0xFFFFFFFFull, font.size) || !Digest(f[2]) ||
                !Unescape(f[3], font.stored) || !Unescape(f[4], font.name) ||
                font.stored.find('/') != std::string::npos || font.stored == "." ||
                font.stored == "..")
                return false;
            font.sha256 = f[2];
            manifest.font = std::move(font);
        } else {
            return false;
        }
    }
    why.clear();
    return true;
}

} // namespace kdplayer
