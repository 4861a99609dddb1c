// Loads the device library as Songdock does and prints the path it came
// from. The install test copies this program into an installed bin/ folder.
#include "lib/device/kd5200_binding.h"

#include <cstdio>

int main() {
    if (!device::LoadDeviceLibrary()) {
        std::fprintf(stderr, "%s\n", device::LibraryError().c_str());
        return 1;
    }
    std::printf("%s\n", device::LibraryPath().c_str());
    return 0;
}
