#include "base/platform/large_memory.h"

#include <windows.h>

namespace platform {

// Committed pages straight from the system: large pages need a privilege
// that a person's account seldom has, so normal pages are taken.
unsigned char* TakeLargeMemory(std::size_t& size) {
    return static_cast<unsigned char*>(
        VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

void GiveBackLargeMemory(unsigned char* memory, std::size_t) {
    if (memory) VirtualFree(memory, 0, MEM_RELEASE);
}

} // namespace platform
