#include "tools/kdmerge/merge_records.h"

#include "lib/hex/hex_digit.h"

#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr uint8_t kData = 0x00, kEndOfFile = 0x01, kSegment = 0x02, kExtendedLinear = 0x04;

// The rest of a line without its line feed and the carriage returns before it.
std::string_view WithoutLineEnd(std::string_view text) {
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    while (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    return text;
}

// Value of the first four digits of text (0 when shorter).
uint32_t FirstWord(std::string_view text) {
    if (text.size() < 4) return 0;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = v * 16 + static_cast<uint32_t>(HexDigitValue(text[i]));
    return v & 0xFFFFu;
}

// Value of the digits 0-9 and A-F; 0x10 for every other character.
constexpr std::array<uint8_t, 256> kUpperDigit = [] {
    std::array<uint8_t, 256> t{};
    for (auto& v : t)
        v = 0x10;
    for (int c = '0'; c <= '9'; ++c)
        t[c] = static_cast<uint8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c)
        t[c] = static_cast<uint8_t>(c - 'A' + 10);
    return t;
}();

// Value of eight digits 0-9 or A-F, or false when one is something else: a
// header written that way comes out unchanged.
bool UpperHexWord(const char* text, uint32_t& value) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    uint32_t v = 0;
    unsigned bad = 0;
    for (int i = 0; i < 8; ++i) {
        const unsigned d = kUpperDigit[p[i]];
        v = v << 4 | (d & 0xFu);
        bad |= d;
    }
    value = v;
    return (bad & 0x10u) == 0;
}

// Reads the count, address and type of a header from its eight digits,
// which must be hex digits (checked elsewhere); false when one of them is a
// lower-case letter, as the general way writes those headers anew.
bool ReadUpperHeader(const char* digits, HexRecordHeader& header) {
    uint32_t word;
    if constexpr (std::endian::native == std::endian::little) {
        uint64_t w;
        std::memcpy(&w, digits, sizeof w);
        // Lower-case letters are the only hex digits with both 0x40 and 0x20 set.
        if ((w & (w << 1) & 0x4040404040404040u) != 0) return false;
        // Each digit to its value: the low four bits, plus 9 for a letter.
        const uint64_t v = (w & 0x0F0F0F0F0F0F0F0Fu) + ((w >> 6) & 0x0101010101010101u) * 9;
        // Each pair to its byte, one in every 16-bit lane, the first digit high.
        const uint64_t b = ((v << 4) | (v >> 8)) & 0x00FF00FF00FF00FFu;
        word = static_cast<uint32_t>((b & 0xFF) << 24 | (b >> 16 & 0xFF) << 16 |
                                     (b >> 32 & 0xFF) << 8 | (b >> 48 & 0xFF));
    } else if (!UpperHexWord(digits, word)) {
        return false;
    }
    header.count = static_cast<uint8_t>(word >> 24);
    header.address = static_cast<uint16_t>(word >> 8);
    header.type = static_cast<uint8_t>(word);
    return true;
}

} // namespace

void ForEachMergeRecord(HexReader& reader, MergeRecordVisitor& visitor) {
    HexRecordHeader header;
    for (;;) {
        // Whatever the visitor takes in bulk, then one record the general way.
        unsigned lines = 0;
        const std::size_t taken = visitor.TakeLines(reader.Buffered(), reader.Line(), lines);
        reader.Consume(taken, lines);
        if (reader.ReadHeader(header) != HexStart::Record || header.type == kEndOfFile) break;
        visitor.Record(header);
        std::string_view piece;
        bool last;
        do {
            last = reader.NextLinePiece(piece);
            visitor.Piece(piece, last);
        } while (!last);
    }
    visitor.End();
}

uint32_t AddressTracker::Note(const HexRecordHeader& header, std::string_view rest) {
    switch (header.type) {
    case kData:
        return base_ + header.address;
    case kSegment:
        base_ = FirstWord(rest) << 4;
        break;
    case kExtendedLinear:
        base_ = FirstWord(rest) << 16;
        break;
    default:
        break;
    }
    return 0;
}

MergeCopier::MergeCopier(MergeOutput& output, HexReader& reader)
    : output_(output), reader_(reader) {
    reader_.SetObserver(this);
}

MergeCopier::~MergeCopier() {
    FlushRun();
    reader_.SetObserver(nullptr);
}

void MergeCopier::BeforeRefill() {
    FlushRun();
    source_ = nullptr;
}

void MergeCopier::FlushRun() {
    if (runStart_ != runEnd_)
        output_.Put({runStart_, static_cast<std::size_t>(runEnd_ - runStart_)});
    runStart_ = runEnd_ = nullptr;
}

void MergeCopier::Record(const HexRecordHeader& header) {
    header_ = &header;
    source_ = header.source;
    headerWritten_ = false;
    wholeLine_ = true;
}

void MergeCopier::WriteHeldReturns() {
    for (; heldReturns_ > 0; --heldReturns_)
        output_.Append("\r");
}

void MergeCopier::WriteHeader() {
    static const char kDigits[] = "0123456789ABCDEF";
    if (headerWritten_) return;
    headerWritten_ = true;
    const unsigned address = header_->address;
    const unsigned bytes[4] = {header_->count, address >> 8, address & 0xFF, header_->type};
    char text[9] = {':'};
    for (int i = 0; i < 4; ++i) {
        text[1 + 2 * i] = kDigits[bytes[i] >> 4];
        text[2 + 2 * i] = kDigits[bytes[i] & 0xF];
    }
    output_.Append({text, sizeof text});
}

void MergeCopier::Piece(std::string_view piece, bool last) {
    if (!last) {
        // A line longer than the reader's buffer: copied, but not checked.
        // Carriage returns at the end of a piece may belong to the line end,
        // so they are held back until more text follows.
        FlushRun();
        WriteHeader();
        wholeLine_ = false;
        std::string_view text = piece;
        std::size_t returns = 0;
        while (!text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
            ++returns;
        }
        if (!text.empty()) {
            WriteHeldReturns();
            output_.Append(text);
        }
        heldReturns_ += returns;
        return;
    }
    const std::string_view rest = WithoutLineEnd(piece);
    if (heldReturns_ > 0 && !rest.empty()) WriteHeldReturns();
    heldReturns_ = 0;
    uint32_t word;
    const bool unchanged = wholeLine_ && source_ && source_ + 9 == piece.data() &&
                           rest.size() + 2 == piece.size() && piece[rest.size()] == '\r' &&
                           UpperHexWord(header_->text + 1, word);
    if (unchanged) {
        if (runEnd_ != source_) {
            FlushRun();
            runStart_ = source_;
        }
        runEnd_ = piece.data() + piece.size();
    } else {
        FlushRun();
        WriteHeader();
        output_.Append(rest);
        output_.EndLine();
    }
    if (wholeLine_) Tally(*header_, rest, CheckHexRecord({header_->text, 9}, rest));
}

// Notes a whole record for the warnings and the address runs.
void MergeCopier::Tally(const HexRecordHeader& header, std::string_view rest,
                        const HexRecordFindings& findings) {
    warnings_.Note(findings, header.line);
    const uint32_t address = tracker_.Note(header, rest);
    if (header.type == kData && header.count > 0) {
        const uint64_t start = address, end = start + header.count;
        if (!runs_.empty() && runs_.back().end == start)
            runs_.back().end = end;
        else
            runs_.push_back({start, end});
    }
}

std::size_t MergeCopier::TakeLines(std::string_view text, unsigned firstLine, unsigned& lines) {
    lines = 0;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    HexRecordHeader header;
    // A record line is at least ":CCAAAATTSS" and CR LF.
    while (end - p >= 13 && p[0] == ':' && ReadUpperHeader(p + 1, header)) {
        if (header.type == kEndOfFile) break;
        // Header, data and checksum digits, then CR LF.
        const std::size_t digits = 2 * std::size_t{header.count} + 10;
        if (static_cast<std::size_t>(end - p) < 1 + digits + 2 || p[1 + digits] != '\r' ||
            p[2 + digits] != '\n')
            break;
        // Anything but hex digits (a line feed, say) is left to the general way.
        unsigned sum = 0;
        if (!SumHexBytes({p + 1, digits}, sum)) break;
        header.line = firstLine + lines;
        HexRecordFindings findings;
        findings.badChecksum = (sum & 0xFFu) != 0;
        Tally(header, {p + 9, digits - 8}, findings);
        p += 1 + digits + 2;
        ++lines;
    }
    if (p != begin) {
        // The lines come out as they stand, joined to a run that ends here.
        if (runEnd_ != begin) {
            FlushRun();
            runStart_ = begin;
        }
        runEnd_ = p;
    }
    return static_cast<std::size_t>(p - begin);
}
