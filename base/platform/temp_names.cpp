#include "base/platform/temp_names.h"

#include <random>

namespace platform {

std::string RandomSuffix() {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::random_device device;
    std::string suffix(6, 'X');
    for (char& c : suffix)
        c = kChars[device() % (sizeof kChars - 1)];
    return suffix;
}

} // namespace platform
