#pragma once
// Sizes on kd5200sim's command line.
#include <cstdint>
#include <string>

namespace kd5200 {

// Parses a byte count with an optional suffix K, M or G (powers of 1024,
// also written KiB, MiB, GiB or KB, MB, GB). False for anything else.
bool ParseSize(const std::string& text, uint64_t& bytes);

} // namespace kd5200
