#include "hex_text.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace hexgen {

namespace {
void AppendByte(std::string& out, uint8_t b) {
    static const char kDigits[] = "0123456789ABCDEF";
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
}
} // namespace

std::string Record(uint8_t type, uint16_t address, const std::vector<uint8_t>& data,
                   const std::string& lineEnd) {
    std::string line = ":";
    unsigned sum = static_cast<uint8_t>(data.size()) + (address >> 8) + (address & 0xFF) + type;
    AppendByte(line, static_cast<uint8_t>(data.size()));
    AppendByte(line, static_cast<uint8_t>(address >> 8));
    AppendByte(line, static_cast<uint8_t>(address));
    AppendByte(line, type);
    for (uint8_t b : data) {
        AppendByte(line, b);
        sum += b;
    }
    AppendByte(line, static_cast<uint8_t>(0x100 - (sum & 0xFF)));
    return line + lineEnd;
}

std::string ExtendedLinear(uint16_t upper, const std::string& lineEnd) {
    return Record(4, 0, {static_cast<uint8_t>(upper >> 8), static_cast<uint8_t>(upper)}, lineEnd);
}

std::string EndRecord(const std::string& lineEnd) {
    return ":00000001FF" + lineEnd;
}

std::string DataRecords(uint32_t address, const std::vector<uint8_t>& bytes, unsigned perLine,
                        bool withExtended, const std::string& lineEnd) {
    std::string out;
    out.reserve(bytes.size() * 2 + bytes.size() / perLine * (12 + lineEnd.size()) + 64);
    uint32_t upper = address >> 16;
    if (withExtended) out += ExtendedLinear(static_cast<uint16_t>(upper), lineEnd);
    std::size_t i = 0;
    std::vector<uint8_t> chunk;
    while (i < bytes.size()) {
        const uint32_t a = address + static_cast<uint32_t>(i);
        if ((a >> 16) != upper) {
            upper = a >> 16;
            out += ExtendedLinear(static_cast<uint16_t>(upper), lineEnd);
        }
        // A record does not cross a 64 KiB boundary.
        std::size_t n = std::min<std::size_t>(perLine, bytes.size() - i);
        n = std::min<std::size_t>(n, 0x10000 - (a & 0xFFFF));
        chunk.assign(bytes.begin() + static_cast<long>(i),
                     bytes.begin() + static_cast<long>(i + n));
        out += Record(0, static_cast<uint16_t>(a), chunk, lineEnd);
        i += n;
    }
    return out;
}

std::string HexFile(uint32_t address, const std::vector<uint8_t>& bytes, unsigned perLine,
                    const std::string& lineEnd) {
    return DataRecords(address, bytes, perLine, true, lineEnd) + EndRecord(lineEnd);
}

std::vector<uint8_t> RandomBytes(std::size_t size, uint32_t seed) {
    std::vector<uint8_t> out(size);
    uint32_t x = seed ? seed : 1;
    for (auto& b : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<uint8_t>(x >> 7);
    }
    return out;
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out);
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace hexgen
