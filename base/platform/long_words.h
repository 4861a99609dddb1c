#pragma once
// Message texts that fit a box: a run of text without a space (a long file
// or folder name) wider than the box would make the box wider than the
// screen, with the start of the text out of sight. Such runs are broken
// into lines, so that the whole text stays readable.
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// The width of a piece of text, in any unit.
using TextWidth = std::function<int(std::string_view)>;

// Breaks every run of non-space characters wider than maxWidth into lines
// of at most maxWidth, between whole UTF-8 characters (a byte that is not
// part of one counts as a character). Other text stays as it is.
std::string BreakLongWords(const std::string& text, int maxWidth, const TextWidth& widthOf);

} // namespace platform
