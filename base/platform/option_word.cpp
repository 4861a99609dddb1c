#include "base/platform/option_word.h"

namespace platform {

bool IsOptionWord(std::string_view arg) {
    if (arg.empty()) return false;
    if (arg[0] == '-') return true;
    return arg[0] == '/' && arg.find('/', 1) == std::string_view::npos;
}

bool IsLongHelp(std::string_view arg) {
    return arg == "--help";
}

} // namespace platform
