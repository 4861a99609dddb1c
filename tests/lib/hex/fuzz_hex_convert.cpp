// Fuzz target: the HEX converter against a plain in-memory model of the
// same placement rules, for images small enough to compare.
#include "lib/hex/hex_digit.h"
#include "lib/hex/hex_to_image.h"
#include "base/platform/temp_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Images larger than this are not compared (or written), to keep runs fast.
constexpr uint64_t kCompareLimit = 1 << 16;

// The image the rules give, or false when it would pass the size limit.
// Only the first kCompareLimit bytes are kept; end tells the real size.
bool Model(const std::string& text, uint32_t base, std::vector<uint8_t>& image, uint64_t& end) {
    std::size_t i = 0;
    auto get = [&](int& c) {
        if (i >= text.size()) return false;
        c = static_cast<unsigned char>(text[i++]);
        return true;
    };
    auto digits = [&](int n, uint32_t& v) {
        v = 0;
        for (int k = 0, c; k < n; ++k) {
            if (!get(c)) return false;
            v = v * 16 + static_cast<uint32_t>(HexDigitValue(static_cast<char>(c)));
        }
        return true;
    };
    uint32_t extended = 0, v = 0, count = 0, address = 0, type = 0;
    end = base;
    image.clear();
    int c = 0;
    if (!get(c) || c != ':') return true;
    for (;;) {
        if (!digits(2, count) || !digits(4, address) || !digits(2, type)) return true;
        count &= 0xFF, address &= 0xFFFF, type &= 0xFF;
        bool eof = false;
        if (type == 0) {
            std::vector<uint8_t> data(count);
            for (auto& b : data) {
                if (!digits(2, v)) return true;
                b = static_cast<uint8_t>(v);
            }
            const uint32_t a = extended + address;
            for (uint32_t k = 0; k < count; ++k) {
                const uint64_t at = uint64_t{a} + k;
                if (at < base) continue;
                if (at - base >= kMaxImageSize) return false;
                if (at - base >= kCompareLimit) continue;
                if (image.size() <= at - base) image.resize(at - base + 1);
                image[at - base] = data[k];
            }
            if (uint64_t{a} + count > base && uint64_t{a} + count - base > kMaxImageSize)
                return false;
            if (uint64_t{a} + count > end && uint64_t{a} + count > base) end = uint64_t{a} + count;
            image.resize(std::min(end - base, kCompareLimit));
        } else if (type == 1) {
            eof = true;
        } else if (type == 4) {
            if (!digits(4, v)) return true;
            extended = ((v & 0xFFFF) << 16) + address;
        }
        if (!get(c) || !get(c)) return true;
        do {
            if (!get(c)) return true;
        } while (c != '\n');
        if (eof || !get(c) || c != ':') return true;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Removed when the run ends (libFuzzer ends a run with exit()).
    static const struct Files {
        std::string in = platform::CreateTempFile("fuzzhex");
        std::string out = platform::CreateTempFile("fuzzimg");
        ~Files() {
            std::error_code ec;
            std::filesystem::remove(in, ec);
            std::filesystem::remove(out, ec);
        }
    } files;
    const std::string& in = files.in;
    const std::string& out = files.out;
    // New files each time: replacing a file's contents can cost a flush.
    std::filesystem::remove(in);
    {
        std::ofstream f(in, std::ios::binary | std::ios::trunc);
        f.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    for (uint32_t base : {kBootCodeBase, kApplicationCodeBase}) {
        std::vector<uint8_t> expected;
        uint64_t end = 0;
        const bool fits = Model(text, base, expected, end);
        if (end - base > kCompareLimit) continue; // also when it fails only after a large image
        HexImageReport report;
        std::filesystem::remove(out);
        const bool ok = ConvertHexToImage(in, out, base, report);
        if (ok != fits) std::abort();
        if (!ok) {
            if (report.error != HexImageError::TooLarge || std::filesystem::exists(out))
                std::abort();
            continue;
        }
        std::ifstream f(out, std::ios::binary);
        const std::vector<uint8_t> image((std::istreambuf_iterator<char>(f)), {});
        if (image != expected || report.imageSize != image.size()) std::abort();
    }
    return 0;
}
