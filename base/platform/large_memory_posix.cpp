#include "base/platform/large_memory.h"

#include <sys/mman.h>

namespace platform {

namespace {

constexpr std::size_t kLargePage = 2 << 20;

} // namespace

unsigned char* TakeLargeMemory(std::size_t& size) {
    size = (size + kLargePage - 1) / kLargePage * kLargePage;
    void* at = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (at == MAP_FAILED) return nullptr;
    madvise(at, size, MADV_HUGEPAGE); // a hint
    return static_cast<unsigned char*>(at);
}

void GiveBackLargeMemory(unsigned char* memory, std::size_t size) {
    if (memory) munmap(memory, size);
}

} // namespace platform
