#include "tools/kd5200sim/sim_size.h"

#include <cctype>

namespace kd5200 {

bool ParseSize(const std::string& text, uint64_t& bytes) {
    size_t i = 0;
    uint64_t value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        if (value > (UINT64_MAX - 9) / 10) return false;
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
        ++i;
    }
    if (i == 0) return false;
    std::string suffix;
    for (; i < text.size(); ++i)
        suffix += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    int shift = 0;
    if (!suffix.empty()) {
        switch (suffix[0]) {
        case 'K':
            shift = 10;
            break;
        case 'M':
            shift = 20;
            break;
        case 'G':
            shift = 30;
            break;
        default:
            return false;
        }
        const std::string rest = suffix.substr(1);
        if (!rest.empty() && rest != "B" && rest != "IB") return false;
    }
    if (value > (UINT64_MAX >> shift)) return false;
    bytes = value << shift;
    return true;
}

} // namespace kd5200
