#include "test_files.h"

#include "run_program.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testfiles {

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

bool HaveSox() {
    return sdtest::Shell("sox --version >/dev/null 2>&1");
}

std::uint32_t Le32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b.at(at)) | static_cast<std::uint32_t>(b.at(at + 1)) << 8 |
           static_cast<std::uint32_t>(b.at(at + 2)) << 16 |
           static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}

std::uint16_t Le16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8);
}

std::vector<std::int16_t> Samples(const Bytes& b, std::size_t from) {
    std::vector<std::int16_t> s;
    for (std::size_t i = from; i + 1 < b.size(); i += 2)
        s.push_back(static_cast<std::int16_t>(Le16(b, i)));
    return s;
}

} // namespace testfiles
