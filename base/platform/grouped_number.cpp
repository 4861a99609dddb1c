// Numbers with their thousands grouped, the same in every language.
#include "base/platform/locale_format.h"

namespace platform {

std::string FormatGroupedNumber(std::uint64_t value) {
    std::string digits = std::to_string(value);
    std::string out;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

} // namespace platform
