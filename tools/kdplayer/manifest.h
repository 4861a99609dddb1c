#pragma once
// The manifest of a backup folder: which files of which memory, in their
// order on the player, with sizes and SHA-256 digests, and the font. A text
// file, "MANIFEST", one record a line, fields separated by single spaces;
// names are the last fields, with '%', spaces and control bytes written as
// %XX so that any name fits on its line:
//
//   kdplayer-backup 2
//   firmware TEXT
//   memory internal|external
//   file MEMORY ORDER SIZE SHA256 STORED-NAME PLAYER-NAME
//   font SIZE SHA256 STORED-NAME PLAYER-NAME
//   end FILES BYTES SHA256
//
// STORED-NAME is the file's name in the memory's folder (internal/,
// external/ or font/ beside the manifest). The end record closes it: the
// number of files and of bytes (the font counted), and the SHA-256 of the
// lines before it, each ended by a line feed; a manifest cut short, or
// with lines lost or changed, does not match it. Lines may end in CR LF.
// Version 1 (an earlier kdplayer) had no end record: such a manifest is read,
// and counts as whole only when it names every file its folders hold
// (UnnamedFiles), since a cut would leave files it does not name.
#include "tools/kdplayer/message.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kdplayer {

inline constexpr const char* kManifestName = "MANIFEST";
// The SHA-256 of every file of a backup, the manifest's included, as
// sha256sum writes them, so that `sha256sum -c` checks a backup in its folder.
inline constexpr const char* kSumsName = "SHA256SUMS";
// A manifest is never larger: 1024 files and the font, with long names.
inline constexpr size_t kManifestLimit = 4u << 20;

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
    bool withoutEndRecord = false; // version 1
};

std::string ManifestText(const Manifest& manifest);
// Reads manifest text; false with why set when it is not one, is not whole,
// or names a file that cannot be.
bool ParseManifest(const std::string& text, Manifest& manifest, Message& why);
// The SHA256SUMS text of a backup whose manifest is manifestText.
std::string SumsText(const Manifest& manifest, const std::string& manifestText);

// What in the memory and font folders of the backup folder open as dir the
// manifest does not name: each as its path there ("internal/NAME") and what
// is wrong ("is not in the manifest", or why a folder cannot be read).
std::vector<std::pair<std::string, Message>> UnnamedFiles(int dir, const Manifest& manifest);

// The folder of a memory's files, or of the font, inside a backup folder.
std::string BackupFolder(const std::string& dir, int memory); // memory -1: the font

} // namespace kdplayer
