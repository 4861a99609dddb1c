#include "lib/kd5200usb/catalogue.h"

namespace kd5200 {

// The Windows build carries no message catalogues: the library speaks
// English there.
const char* Translated(const char* english) {
    return english;
}

} // namespace kd5200
