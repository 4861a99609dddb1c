#pragma once
// Large buffers taken straight from the system, in pages that may be large,
// so that a fresh process takes few page faults to fill them.

#include <cstddef>

namespace platform {

// size bytes, rounded up to whole large pages (size is set to what was
// taken), or nullptr when the system gives none (the caller allocates).
unsigned char* TakeLargeMemory(std::size_t& size);
void GiveBackLargeMemory(unsigned char* memory, std::size_t size);

} // namespace platform
