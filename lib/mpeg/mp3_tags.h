#pragma once
// Title and artist of an MP3 file from its ID3v2 tag, else its ID3v1 tag.
#include <string>

namespace mpeg {

struct Tags {
    std::string title;  // UTF-8, empty when the file has none
    std::string artist; // UTF-8, empty when the file has none
};

// Reads the tags without reading the audio; a file without tags, or one
// that cannot be read, gives empty texts.
Tags ReadTags(const std::string& path);

} // namespace mpeg
