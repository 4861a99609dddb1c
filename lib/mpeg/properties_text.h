#pragma once
// The two texts of the Properties dialog for one file: its size, and what it
// holds (the MPEG audio facts and tags of an MP3, else its type name).
#include <string>

namespace mpeg {

struct PropertiesText {
    std::string sizeInfo;    // "1,500,000 bytes (1,465KB)"
    std::string versionInfo; // several lines
};

// Describes the file at path; typeName is the desktop's type name for it,
// shown for files that are not MPEG audio. A file that cannot be read gives
// the system's reason.
PropertiesText DescribeFile(const std::string& path, const std::string& typeName);

// "3:25", or "1:02:03" from an hour on.
std::string DurationText(double seconds);

} // namespace mpeg
