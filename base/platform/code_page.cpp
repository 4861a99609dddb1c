// The player's code page from the person's language, and conversions on the
// system's converters.
#include "base/platform/code_page.h"

#include "base/platform/code_page_converter.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace platform {

namespace {

using code_page::Convert;
constexpr const char* kReplacement = "\xEF\xBF\xBD"; // U+FFFD

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The length of the UTF-8 sequence at text[at], or 0 when it is not valid.
size_t Utf8Length(std::string_view text, size_t at, uint32_t* codePoint) {
    const auto b = static_cast<unsigned char>(text[at]);
    size_t length = 0;
    uint32_t value = 0;
    if (b < 0x80) {
        length = 1;
        value = b;
    } else if (b >= 0xC2 && b < 0xE0) {
        length = 2;
        value = b & 0x1F;
    } else if (b >= 0xE0 && b < 0xF0) {
        length = 3;
        value = b & 0x0F;
    } else if (b >= 0xF0 && b < 0xF5) {
        length = 4;
        value = b & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[at + i]);
        if ((c & 0xC0) != 0x80) return 0;
        value = (value << 6) | (c & 0x3F);
    }
    if ((length == 3 && (value < 0x800 || (value >= 0xD800 && value < 0xE000))) ||
        (length == 4 && (value < 0x10000 || value > 0x10FFFF)))
        return 0;
    if (codePoint) *codePoint = value;
    return length;
}

} // namespace

std::string CodePageForLanguage(std::string_view language) {
    const std::string lang = Lower(language.substr(0, language.find_first_of(".@")));
    const std::string full = Lower(language);
    const std::string base = lang.substr(0, lang.find_first_of("_-"));
    if (base == "ko") return "CP949";
    if (base == "ja") return "CP932";
    if (base == "zh") {
        if (lang == "zh_tw" || lang == "zh_hk" || lang == "zh_mo" ||
            full.find("hant") != std::string::npos)
            return "CP950";
        return "CP936";
    }
    // Serbian and Uzbek are written in two scripts; Windows follows the script.
    if (base == "sr") return full.find("latin") != std::string::npos ? "CP1250" : "CP1251";
    if (base == "uz") return full.find("cyrillic") != std::string::npos ? "CP1251" : "CP1254";
    static const std::map<std::string, const char*> kEuropean = {
        {"cs", "CP1250"}, {"hu", "CP1250"}, {"pl", "CP1250"}, {"ro", "CP1250"}, {"sk", "CP1250"},
        {"sl", "CP1250"}, {"hr", "CP1250"}, {"sq", "CP1250"}, {"bs", "CP1250"}, {"tk", "CP1250"},
        {"ru", "CP1251"}, {"uk", "CP1251"}, {"be", "CP1251"}, {"bg", "CP1251"}, {"mk", "CP1251"},
        {"kk", "CP1251"}, {"ky", "CP1251"}, {"tt", "CP1251"}, {"mn", "CP1251"}, {"tg", "CP1251"},
        {"ba", "CP1251"}, {"el", "CP1253"}, {"tr", "CP1254"}, {"az", "CP1254"}, {"he", "CP1255"},
        {"iw", "CP1255"}, {"ar", "CP1256"}, {"fa", "CP1256"}, {"ur", "CP1256"}, {"ug", "CP1256"},
        {"lt", "CP1257"}, {"lv", "CP1257"}, {"et", "CP1257"}, {"vi", "CP1258"},
    };
    const auto it = kEuropean.find(base);
    return it != kEuropean.end() ? it->second : "CP1252";
}

std::string MessagesLanguage() {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    const bool plain = locale.empty() || locale == "C" || locale == "POSIX" ||
                       locale.rfind("C.", 0) == 0;
    if (!plain) {
        if (const char* list = std::getenv("LANGUAGE")) {
            const std::string_view all(list);
            const std::string_view first = all.substr(0, all.find(':'));
            if (!first.empty()) return std::string(first);
        }
    }
    return plain ? "C" : locale;
}

std::string CodePageFromEnvironment() {
    std::string system = code_page::SystemCodePage();
    return system.empty() ? CodePageForLanguage(MessagesLanguage()) : system;
}

std::string PlayerCodePageFromEnvironment() {
    const char* forced = std::getenv("KD5200_CODEPAGE");
    return forced && CodePageKnown(forced) ? forced : CodePageFromEnvironment();
}

bool CodePageKnown(const std::string& name) {
    return !name.empty() && code_page::OpenConverter(name, true) != nullptr;
}

struct CodePage::Handles {
    code_page::ConverterPtr toText;
    code_page::ConverterPtr fromText;
};

CodePage::CodePage(const std::string& name)
    : name_(CodePageKnown(name) ? name : "CP1252"), handles_(std::make_unique<Handles>()) {
    handles_->toText = code_page::OpenConverter(name_, true);
    handles_->fromText = code_page::OpenConverter(name_, false);
}

CodePage::~CodePage() = default;

bool CodePage::Decode(std::string_view bytes, std::string& text) const {
    text.clear();
    bool whole = true;
    while (true) {
        size_t stop = 0;
        if (Convert(*handles_->toText, bytes, text, &stop)) return whole;
        // The bytes before stop are converted; the byte at stop is not.
        whole = false;
        text += kReplacement;
        bytes.remove_prefix(stop + 1);
    }
}

std::string CodePage::Decode(std::string_view bytes) const {
    std::string text;
    Decode(bytes, text);
    return text;
}

bool CodePage::PcName(std::string_view bytes, std::string& name) const {
    if (Decode(bytes, name)) {
        // A "%" that reads as an escape ("%E9") is escaped itself, so that
        // the name differs from that of the bytes it would stand for.
        std::string plain;
        plain.swap(name);
        for (size_t i = 0; i < plain.size(); ++i) {
            const bool looksEscaped = plain[i] == '%' && i + 2 < plain.size() &&
                                      std::isxdigit(static_cast<unsigned char>(plain[i + 1])) &&
                                      std::isxdigit(static_cast<unsigned char>(plain[i + 2]));
            name += looksEscaped ? std::string("%25") : std::string(1, plain[i]);
        }
        return name == plain;
    }
    name.clear();
    std::string part;
    char escape[4];
    while (true) {
        size_t stop = 0;
        part.clear();
        const bool done = Convert(*handles_->toText, bytes, part, &stop);
        for (const char c : part) {
            if (c == '%') name += "%25";
            else name += c;
        }
        if (done) return false;
        std::snprintf(escape, sizeof escape, "%%%02X", static_cast<unsigned char>(bytes[stop]));
        name += escape;
        bytes.remove_prefix(stop + 1);
    }
}

bool CodePage::Encode(std::string_view text, std::string& bytes, Unencodable* failure) const {
    bytes.clear();
    // Invalid UTF-8 is refused here, so that iconv sees only whole characters.
    uint32_t codePoint = 0;
    for (size_t at = 0; at < text.size();) {
        const size_t length = Utf8Length(text, at, &codePoint);
        if (length == 0) {
            if (failure) *failure = {std::string(1, text[at]), 0};
            return false;
        }
        at += length;
    }
    size_t stop = 0;
    if (Convert(*handles_->fromText, text, bytes, &stop)) return true;
    if (failure) {
        const size_t length = Utf8Length(text, stop, &codePoint);
        *failure = {std::string(text.substr(stop, length ? length : 1)), length ? codePoint : 0};
    }
    bytes.clear();
    return false;
}

bool CodePage::FromPcName(std::string_view pcName, std::string& bytes,
                          Unencodable* failure) const {
    Unencodable first;
    if (Encode(pcName, bytes, &first)) return true;
    std::string text;
    if (first.codePoint == 0 && Decode(pcName, text)) {
        bytes.assign(pcName);
        return true;
    }
    if (failure) *failure = first;
    return false;
}

std::vector<size_t> CodePage::CharacterLengths(std::string_view bytes) const {
    std::vector<size_t> lengths;
    std::string scratch;
    for (size_t at = 0; at < bytes.size();) {
        // A character is the shortest run of bytes that decodes whole; no
        // code page here has characters of more than two bytes.
        size_t length = 1;
        for (size_t n = 1; n <= 2 && at + n <= bytes.size(); ++n) {
            size_t stop = 0;
            scratch.clear();
            if (Convert(*handles_->toText, bytes.substr(at, n), scratch, &stop)) {
                length = n;
                break;
            }
        }
        lengths.push_back(length);
        at += length;
    }
    return lengths;
}

std::string CodePointText(uint32_t codePoint) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(codePoint));
    return text;
}

} // namespace platform
