#pragma once
// Player file names in the player's code page: the code page a Windows PC of
// the person's language uses for its "ANSI" text, and conversions between it
// and the PC's UTF-8 (iconv on Linux, the Win32 conversions on Windows).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The code page for a locale or language name such as "ko_KR.UTF-8", "ja",
// "zh_TW" or "pl_PL": CP949, CP932, CP936, CP950, CP1250 to CP1258 as Windows
// maps the language, else CP1252.
std::string CodePageForLanguage(std::string_view language);

// The person's language as gettext and GTK choose it: LC_ALL, else
// LC_MESSAGES, else LANG; when that is not the C locale, the first entry of
// LANGUAGE comes before it. "C" when none is set.
std::string MessagesLanguage();

// The system's ANSI code page on Windows; elsewhere the code page for
// MessagesLanguage().
std::string CodePageFromEnvironment();

// The code page of a device library that no program told one: the one
// KD5200_CODEPAGE names when the system knows it, else CodePageFromEnvironment().
std::string PlayerCodePageFromEnvironment();

// Whether the system knows the code page by that name ("CP949").
bool CodePageKnown(const std::string& name);

// A name that the code page cannot write: the first character that fails.
struct Unencodable {
    std::string character; // its UTF-8 bytes (one byte for invalid UTF-8)
    uint32_t codePoint = 0; // 0 for bytes that are not UTF-8
};

// Conversions between UTF-8 and one code page. Not thread-safe: one per thread.
class CodePage {
public:
    // An unknown name falls back to CP1252.
    explicit CodePage(const std::string& name);
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    const std::string& Name() const { return name_; }

    // Player bytes as UTF-8; each byte that does not decode becomes U+FFFD.
    // Returns whether every byte decoded.
    bool Decode(std::string_view bytes, std::string& text) const;
    std::string Decode(std::string_view bytes) const;
    // Player bytes as a PC file name: the decoded text, where each byte that
    // does not decode is written "%HH" (its value in hexadecimal) and "%"
    // itself "%25" (in a name that decodes whole, only a "%" followed by two
    // hexadecimal digits); so the name keeps its readable part, no two player
    // names give one PC name, and the bytes can be read back. Returns whether
    // the name is the decoded text as it is.
    bool PcName(std::string_view bytes, std::string& name) const;
    // UTF-8 text in the code page; false (with the first character that
    // fails) when a character cannot be written. Never substitutes.
    bool Encode(std::string_view text, std::string& bytes, Unencodable* failure = nullptr) const;
    // A PC file name (the file system's bytes) in the code page: UTF-8 is
    // encoded; a name that is not UTF-8 (from an older system) keeps its
    // bytes when they read as the code page's. False, with the first
    // character that fails, otherwise.
    bool FromPcName(std::string_view pcName, std::string& bytes,
                    Unencodable* failure = nullptr) const;
    // Byte length of each character of bytes, in order; a byte that starts
    // no character of the code page counts as one.
    std::vector<size_t> CharacterLengths(std::string_view bytes) const;

private:
    struct Handles;
    std::string name_;
    std::unique_ptr<Handles> handles_;
};

// "U+1F3B5" for a code point.
std::string CodePointText(uint32_t codePoint);

} // namespace platform
