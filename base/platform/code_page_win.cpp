// Code page conversions through MultiByteToWideChar and WideCharToMultiByte,
// one character at a time, so that the first one that fails is known.
#include "base/platform/code_page_converter.h"

#include "base/platform/code_page.h"
#include "base/platform/wide_text.h"

#include <windows.h>

#include <cstdlib>

namespace platform::code_page {

namespace {

// The code page number of "CP949", "windows-949", "949" or "UTF-8"; 0 when
// the name is none of them or the system lacks that code page.
UINT CodePageNumber(const std::string& name) {
    std::string lower;
    for (const char c : name)
        lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower == "utf-8" || lower == "utf8") return CP_UTF8;
    std::string digits = lower;
    if (lower.rfind("cp", 0) == 0) digits = lower.substr(2);
    else if (lower.rfind("windows-", 0) == 0) digits = lower.substr(8);
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const UINT number = static_cast<UINT>(std::strtoul(digits.c_str(), nullptr, 10));
    return number != 0 && IsValidCodePage(number) ? number : 0;
}

// Byte length of the UTF-8 sequence its first byte starts.
size_t Utf8SequenceLength(unsigned char b) {
    return b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
}

} // namespace

struct Converter {
    UINT codePage;
    bool toText;
};

void ConverterDeleter::operator()(Converter* converter) const {
    delete converter;
}

ConverterPtr OpenConverter(const std::string& name, bool toText) {
    const UINT number = CodePageNumber(name);
    if (number == 0) return nullptr;
    return ConverterPtr(new Converter{number, toText});
}

bool Convert(Converter& converter, std::string_view in, std::string& out, size_t* stop) {
    const UINT page = converter.codePage;
    wchar_t wide[4];
    char bytes[8];
    for (size_t at = 0; at < in.size();) {
        const auto first = static_cast<unsigned char>(in[at]);
        if (converter.toText) {
            size_t length = 1;
            if (page == CP_UTF8) length = Utf8SequenceLength(first);
            else if (IsDBCSLeadByteEx(page, first)) length = 2;
            const int n = at + length <= in.size()
                              ? MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, in.data() + at,
                                                    static_cast<int>(length), wide, 4)
                              : 0;
            if (n <= 0) {
                *stop = at;
                return false;
            }
            out += Utf8Text(std::wstring_view(wide, static_cast<size_t>(n)));
            at += length;
            continue;
        }
        const size_t length = Utf8SequenceLength(first);
        if (page == CP_UTF8) {
            out.append(in.substr(at, length));
            at += length;
            continue;
        }
        const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, in.data() + at,
                                              static_cast<int>(length), wide, 4);
        BOOL usedDefault = FALSE;
        const int n = units > 0 ? WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, wide, units,
                                                      bytes, sizeof bytes, nullptr, &usedDefault)
                                : 0;
        if (n <= 0 || usedDefault) {
            *stop = at;
            return false;
        }
        out.append(bytes, static_cast<size_t>(n));
        at += length;
    }
    return true;
}

std::string SystemCodePage() {
    const UINT ansi = GetACP();
    if (ansi != CP_UTF8) return "CP" + std::to_string(ansi);
    // A system whose "ANSI" text is UTF-8 (an option of newer Windows): the
    // player still takes the legacy code page of the person's language.
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    if (GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH) > 0)
        return CodePageForLanguage(Utf8Text(locale));
    return "CP1252";
}

} // namespace platform::code_page
