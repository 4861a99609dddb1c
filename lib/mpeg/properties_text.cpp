#include "lib/mpeg/properties_text.h"
#include "base/resources/strings.h"

#include "lib/mpeg/mp3_tags.h"
#include "lib/mpeg/mpeg_audio.h"
#include "base/platform/error_text.h"
#include "base/platform/folder_files.h"
#include "base/platform/locale_format.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <strings.h>

namespace mpeg {

namespace {

bool HasMpegExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return false;
    const char* ext = path.c_str() + dot + 1;
    return strcasecmp(ext, "mp3") == 0 || strcasecmp(ext, "mp2") == 0 ||
           strcasecmp(ext, "mp1") == 0 || strcasecmp(ext, "mpa") == 0;
}

} // namespace

std::string DurationText(double seconds) {
    const long total = std::lround(seconds < 0 ? 0 : seconds);
    char buffer[32];
    if (total >= 3600)
        std::snprintf(buffer, sizeof buffer, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                      total % 60);
    else
        std::snprintf(buffer, sizeof buffer, "%ld:%02ld", total / 60, total % 60);
    return buffer;
}

// printf into a string; the formats are the catalogue's.
template <typename... Args> std::string Formatted(const char* format, Args... args) {
    char text[1024];
    std::snprintf(text, sizeof text, strings::Tr(format), args...);
    return text;
}

PropertiesText DescribeFile(const std::string& path, const std::string& typeName) {
    PropertiesText out;
    platform::FileStamp stamp;
    if (!platform::StampAt(path, stamp)) {
        out.sizeInfo = platform::SystemErrorText(errno);
        return out;
    }
    const std::uint64_t size = stamp.size;
    out.sizeInfo = Formatted(SD_TEXT("%s bytes (%sKB)"), platform::FormatGroupedNumber(size).c_str(),
                          platform::FormatGroupedNumber((size + 1023) / 1024).c_str());
    if (stamp.folder) {
        out.versionInfo = typeName;
        return out;
    }

    StreamInfo info;
    std::string error;
    const bool read = AnalyseFile(path, info, error);
    // A stray sync in some other kind of file is not MPEG audio.
    const bool mpeg = read && info.found && (HasMpegExtension(path) || info.firstFrameOffset == 0);
    if (!read) {
        out.versionInfo = error;
        return out;
    }
    if (!mpeg) {
        out.versionInfo = typeName.empty() ? strings::Tr("Not an MPEG audio file") : typeName;
        return out;
    }
    const FrameHeader& h = info.first;
    std::string text = VersionText(h.version) + " " + LayerText(h.layer) + "\n";
    text += Formatted(info.vbr ? SD_TEXT("%u kbit/s (VBR average)") : SD_TEXT("%u kbit/s"),
                   static_cast<unsigned>(info.averageKbps)) +
            "\n";
    text += Formatted(SD_TEXT("%u Hz, %s"), static_cast<unsigned>(h.sampleRate),
                   strings::Tr(ChannelModeText(h.channelMode).c_str())) +
            "\n";
    text += Formatted(info.truncated ? SD_TEXT("Duration %s (the file is cut short or damaged)")
                                  : SD_TEXT("Duration %s"),
                   DurationText(info.seconds).c_str());
    text += "\n";
    const Tags tags = ReadTags(path);
    if (!tags.title.empty()) text += Formatted(SD_TEXT("Title: %s"), tags.title.c_str()) + "\n";
    if (!tags.artist.empty()) text += Formatted(SD_TEXT("Artist: %s"), tags.artist.c_str()) + "\n";
    if (text.back() == '\n') text.pop_back();
    out.versionInfo = text;
    return out;
}

} // namespace mpeg
