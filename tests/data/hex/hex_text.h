#pragma once
// Builds Intel HEX text for tests and benchmarks.
#include <cstdint>
#include <string>
#include <vector>

namespace hexgen {

// One record line with a correct checksum and the given line end.
std::string Record(uint8_t type, uint16_t address, const std::vector<uint8_t>& data,
                   const std::string& lineEnd = "\n");
// ":020000040000FA"-style extended linear address record for the upper 16 bits.
std::string ExtendedLinear(uint16_t upper, const std::string& lineEnd = "\n");
// ":00000001FF" and the line end.
std::string EndRecord(const std::string& lineEnd = "\n");

// Data records for bytes placed from address on, perLine bytes a record,
// with an extended linear address record wherever the upper 16 bits change
// (and one at the start when withExtended is set).
std::string DataRecords(uint32_t address, const std::vector<uint8_t>& bytes, unsigned perLine = 16,
                        bool withExtended = true, const std::string& lineEnd = "\n");

// A whole file: DataRecords and the end record.
std::string HexFile(uint32_t address, const std::vector<uint8_t>& bytes, unsigned perLine = 16,
                    const std::string& lineEnd = "\n");

// Deterministic pseudo-random bytes.
std::vector<uint8_t> RandomBytes(std::size_t size, uint32_t seed);

// Writes text to a file; false on failure.
bool WriteText(const std::string& path, const std::string& text);
// Reads a whole file (empty when it cannot be read).
std::string ReadText(const std::string& path);

} // namespace hexgen
