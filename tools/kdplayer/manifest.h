#pragma once
// The manifest of a backup folder: which files of which memory, in their
// order on the player, with sizes and SHA-256 digests, and the font. A text
// file, "MANIFEST", one record a line, fields separated by single spaces;
// names are the last fields, with '%', spaces and control bytes written as
// %XX so that any name fits on its line:
//
//   kdplayer-backup 1
//   firmware TEXT
//   memory internal|external
//   file MEMORY ORDER SIZE SHA256 STORED-NAME PLAYER-NAME
//   font SIZE SHA256 STORED-NAME PLAYER-NAME
//
// STORED-NAME is the file's name in the memory's folder (internal/,
// external/ or font/ beside the manifest).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kdplayer {

inline constexpr const char* kManifestName = "MANIFEST";

struct ManifestFile {
    int memory = 0;
    int order = 0;
    uint64_t size = 0;
    std::string sha256;
    std::string stored;
    std::string name;
};

struct Manifest {
    std::string firmware;
    bool memories[2] = {false, false};
    std::vector<ManifestFile> files; // by memory, then in order
    std::optional<ManifestFile> font;
};

std::string ManifestText(const Manifest& manifest);
// Reads manifest text; false with why set when it is not one.
bool ParseManifest(const std::string& text, Manifest& manifest, std::string& why);

// The folder of a memory's files, or of the font, inside a backup folder.
std::string BackupFolder(const std::string& dir, int memory); // memory -1: the font

} // namespace kdplayer
