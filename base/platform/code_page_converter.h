#pragma once
// The system's converters between UTF-8 and a code page, under the code page
// logic that both systems share (code_page.cpp): iconv on Linux, the Win32
// conversion functions on Windows.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace platform::code_page {

// One direction of one code page.
struct Converter;
struct ConverterDeleter {
    void operator()(Converter* converter) const;
};
using ConverterPtr = std::unique_ptr<Converter, ConverterDeleter>;

// A converter from the code page to UTF-8 (toText) or back; nullptr when the
// system does not know the code page.
ConverterPtr OpenConverter(const std::string& name, bool toText);

// Converts all of in, appending to out; false at the first character that
// fails, with *stop set to its offset in in (out then holds what came
// before it). The UTF-8 given to a converter from text is valid.
bool Convert(Converter& converter, std::string_view in, std::string& out, size_t* stop);

// The code page the system uses for its "ANSI" text, or "" where the system
// has none and the person's language decides.
std::string SystemCodePage();

} // namespace platform::code_page
