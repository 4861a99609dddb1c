#pragma once
// Windows only: UTF-8 text, as the kit keeps it, to and from the UTF-16 of
// the wide-character API.

#include <string>
#include <string_view>

namespace platform {

// UTF-8 as UTF-16; a byte that is not UTF-8 becomes U+FFFD.
std::wstring WideText(std::string_view utf8);
// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8Text(std::wstring_view wide);

} // namespace platform
