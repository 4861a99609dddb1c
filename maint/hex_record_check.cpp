#include "maint/hex_record_check.h"

#include <array>
#include <cstdint>

namespace {

// Digit values, 0xFF for characters that are no hex digit.
constexpr std::array<uint8_t, 256> MakeDigitTable() {
    std::array<uint8_t, 256> t{};
    for (auto& v : t)
        v = 0xFF;
    for (int c = '0'; c <= '9'; ++c)
        t[c] = static_cast<uint8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c)
        t[c] = static_cast<uint8_t>(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c)
        t[c] = static_cast<uint8_t>(c - 'a' + 10);
    return t;
}
constexpr std::array<uint8_t, 256> kDigit = MakeDigitTable();

// Byte value of every pair of characters (first one high), or 0x100 when
// either is no hex digit: one look-up per byte.
struct PairTable {
    uint16_t value[256][256];
    PairTable() {
        for (int hi = 0; hi < 256; ++hi)
            for (int lo = 0; lo < 256; ++lo)
                value[hi][lo] = (kDigit[hi] | kDigit[lo]) > 15
                                    ? 0x100
                                    : static_cast<uint16_t>(kDigit[hi] * 16 + kDigit[lo]);
    }
};
const PairTable kPairs;

// Adds the bytes of pairs of digits to sum; false when a character is no digit.
bool SumBytes(std::string_view digits, unsigned& sum) {
    unsigned total = 0, bad = 0, total2 = 0, bad2 = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(digits.data());
    const std::size_t n = digits.size() & ~std::size_t{1};
    std::size_t i = 0;
    // Two bytes a step, in two chains.
    for (; i + 4 <= n; i += 4) {
        const unsigned v = kPairs.value[p[i]][p[i + 1]], w = kPairs.value[p[i + 2]][p[i + 3]];
        total += v;
        bad |= v;
        total2 += w;
        bad2 |= w;
    }
    if (i < n) {
        const unsigned v = kPairs.value[p[i]][p[i + 1]];
        total += v;
        bad |= v;
    }
    sum += total + total2;
    return ((bad | bad2) & 0x100u) == 0;
}

} // namespace

HexRecordFindings CheckHexRecord(std::string_view header, std::string_view rest) {
    HexRecordFindings findings;
    if (header.size() != 9) {
        findings.badDigits = true;
        return findings;
    }
    unsigned sum = 0;
    const bool headerOk = SumBytes(header.substr(1), sum);
    const std::size_t count = headerOk ? kDigit[static_cast<unsigned char>(header[1])] * 16u +
                                             kDigit[static_cast<unsigned char>(header[2])]
                                       : 0;
    const std::size_t needed = 2 * count + 2;
    if (!headerOk || rest.size() < needed || !SumBytes(rest.substr(0, needed), sum)) {
        findings.badDigits = true;
        return findings;
    }
    findings.badChecksum = (sum & 0xFFu) != 0;
    return findings;
}

void HexWarnings::Note(const HexRecordFindings& findings, unsigned line) {
    if (findings.badDigits && badDigits++ == 0) firstBadDigitsLine = line;
    if (findings.badChecksum && badChecksum++ == 0) firstBadChecksumLine = line;
}

std::vector<std::string> FormatHexWarnings(const std::string& file, const HexWarnings& warnings) {
    std::vector<std::string> lines;
    auto plural = [](unsigned n) { return std::to_string(n) + (n == 1 ? " record" : " records"); };
    if (warnings.badDigits > 0)
        lines.push_back(file + ":" + std::to_string(warnings.firstBadDigitsLine) +
                        ": warning: record with characters that are not hex digits or cut short (" +
                        plural(warnings.badDigits) + " in all)");
    if (warnings.badChecksum > 0)
        lines.push_back(file + ":" + std::to_string(warnings.firstBadChecksumLine) +
                        ": warning: checksum mismatch (" + plural(warnings.badChecksum) +
                        " in all)");
    return lines;
}
