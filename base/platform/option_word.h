#pragma once
// Options in the style of the console programs ("/b" or "-b") among file
// names, which on this system may begin with "/" themselves.
#include <string_view>

namespace platform {

// Whether a command-line argument is an option: it begins with "-", or with
// "/" and holds no other "/". So "/home/me/fw.hex" is a file name, while
// "/b", "/?" and words such as "/help" stay options.
bool IsOptionWord(std::string_view arg);

// Whether the argument asks for the usage text the GNU way ("--help").
bool IsLongHelp(std::string_view arg);

} // namespace platform
