// hexgen: writes an Intel HEX file of pseudo-random data, for benchmarks.
// Usage: hexgen out.hex size-in-bytes [address] [seed] [bytes-per-record]
#include "hex_text.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("Usage: hexgen out.hex size [address] [seed] [bytes-per-record]\n", stderr);
        return 2;
    }
    const std::size_t size = std::strtoull(argv[2], nullptr, 0);
    const uint32_t address =
        argc > 3 ? static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 0)) : 0;
    const uint32_t seed = argc > 4 ? static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 0)) : 1;
    const unsigned perLine =
        argc > 5 ? static_cast<unsigned>(std::strtoul(argv[5], nullptr, 0)) : 16;
    const std::string text =
        hexgen::HexFile(address, hexgen::RandomBytes(size, seed), perLine, "\r\n");
    if (!hexgen::WriteText(argv[1], text)) {
        std::fprintf(stderr, "hexgen: cannot write '%s'\n", argv[1]);
        return 1;
    }
    return 0;
}
