// Converts one HEX file to an image, for the benchmark.
// Usage: hex_convert in.hex out.bin [base]
#include "lib/hex/hex_to_image.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("Usage: hex_convert in.hex out.bin [base]\n", stderr);
        return 2;
    }
    const uint32_t base = argc > 3 ? static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 0)) : 0;
    HexImageReport report;
    if (!ConvertHexToImage(argv[1], argv[2], base, report)) {
        std::fprintf(stderr, "hex_convert: %s\n", HexImageErrorText(report.error));
        return 1;
    }
    return 0;
}
