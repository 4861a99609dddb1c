#pragma once
// Reads the published AMR-NB bit order tables (one "MR475 95" style line
// per table, then its numbers), independently of the converters' copy.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace testfiles {

// Table name to its numbers; empty when the file cannot be read.
std::map<std::string, std::vector<std::uint8_t>> ReadBitOrderFile(const std::string& path);

// The project's copy of the published tables.
inline std::string BitOrderFilePath() {
    return std::string(SD_TEST_DATA_DIR) + "/amrnb-bit-order.txt";
}

} // namespace testfiles
