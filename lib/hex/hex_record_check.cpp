#include "lib/hex/hex_record_check.h"

#include <array>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// Adds the bytes of the sixteen digits in c (eight pairs, first one high)
// to sum; false when a character is no hex digit.
inline bool SumBytes16(__m128i c, __m128i& sum) {
    // Digits have 0x20 set already: or-ing it in turns letters to lower case.
    const __m128i lower = _mm_or_si128(c, _mm_set1_epi8(0x20));
    const __m128i isDigit = _mm_and_si128(_mm_cmpgt_epi8(c, _mm_set1_epi8('0' - 1)),
                                          _mm_cmplt_epi8(c, _mm_set1_epi8('9' + 1)));
    const __m128i isLetter = _mm_and_si128(_mm_cmpgt_epi8(lower, _mm_set1_epi8('a' - 1)),
                                           _mm_cmplt_epi8(lower, _mm_set1_epi8('f' + 1)));
    if (_mm_movemask_epi8(_mm_or_si128(isDigit, isLetter)) != 0xFFFF) return false;
    // lower - 'a' + 10 for letters, lower - '0' for digits.
    const __m128i value = _mm_add_epi8(_mm_sub_epi8(lower, _mm_set1_epi8('a' - 10)),
                                       _mm_and_si128(isDigit, _mm_set1_epi8('a' - 10 - '0')));
    // One byte per 16-bit lane: the first digit of the pair is the low byte.
    const __m128i bytes = _mm_add_epi16(
        _mm_slli_epi16(_mm_and_si128(value, _mm_set1_epi16(0x00FF)), 4), _mm_srli_epi16(value, 8));
    sum = _mm_add_epi64(sum, _mm_sad_epu8(bytes, _mm_setzero_si128()));
    return true;
}
#endif

} // namespace

bool SumHexBytes(std::string_view digits, unsigned& sum) {
    unsigned total = 0, bad = 0, total2 = 0, bad2 = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(digits.data());
    const std::size_t n = digits.size() & ~std::size_t{1};
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen digits a step, then eight padded with zero digits.
    __m128i wide = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16)
        if (!SumBytes16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), wide))
            return false;
    if (i + 8 <= n) {
        const __m128i zeros = _mm_set_epi64x(0x3030303030303030, 0);
        if (!SumBytes16(
                _mm_or_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + i)), zeros),
                wide))
            return false;
        i += 8;
    }
    total = static_cast<unsigned>(_mm_cvtsi128_si32(wide)) +
            static_cast<unsigned>(_mm_cvtsi128_si32(_mm_srli_si128(wide, 8)));
#endif
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

HexRecordFindings CheckHexRecord(std::string_view header, std::string_view rest) {
    HexRecordFindings findings;
    if (header.size() != 9) {
        findings.badDigits = true;
        return findings;
    }
    unsigned sum = 0;
    const bool headerOk = SumHexBytes(header.substr(1), sum);
    const std::size_t count = headerOk ? kDigit[static_cast<unsigned char>(header[1])] * 16u +
                                             kDigit[static_cast<unsigned char>(header[2])]
                                       : 0;
    const std::size_t needed = 2 * count + 2;
    if (!headerOk || rest.size() < needed || !SumHexBytes(rest.substr(0, needed), sum)) {
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
