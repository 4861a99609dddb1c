#include "lib/mpeg/mp3_tags.h"

#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#ifdef _WIN32
#include "base/platform/wide_text.h"
#endif

namespace mpeg {

namespace {

std::string Utf8(const TagLib::String& s) {
    return s.to8Bit(true);
}

} // namespace

Tags ReadTags(const std::string& path) {
    Tags tags;
    // Audio properties are not read: the frame analysis does that, and a
    // damaged stream must not stop the tags from being shown.
    // On Windows a narrow name would be read in the ANSI code page.
#ifdef _WIN32
    TagLib::MPEG::File file(platform::WideText(path).c_str(), false);
#else
    TagLib::MPEG::File file(path.c_str(), false);
#endif
    if (!file.isValid()) return tags;
    if (file.hasID3v2Tag()) {
        const TagLib::ID3v2::Tag* v2 = file.ID3v2Tag();
        tags.title = Utf8(v2->title());
        tags.artist = Utf8(v2->artist());
    }
    if (file.hasID3v1Tag()) {
        const TagLib::ID3v1::Tag* v1 = file.ID3v1Tag();
        if (tags.title.empty()) tags.title = Utf8(v1->title());
        if (tags.artist.empty()) tags.artist = Utf8(v1->artist());
    }
    return tags;
}

} // namespace mpeg
