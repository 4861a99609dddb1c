#include "tools/kdmerge/merge_records.h"

#include "maint/hex_digit.h"

#include <array>
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

// Whether the eight characters are 0-9 or A-F: a header written that way
// comes out unchanged.
bool IsUpperHex(const char* text) {
    static const auto kUpperHex = [] {
        std::array<uint8_t, 256> t{};
        for (const char c : std::string_view("0123456789ABCDEF"))
            t[static_cast<unsigned char>(c)] = 1;
        return t;
    }();
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    return (kUpperHex[p[0]] & kUpperHex[p[1]] & kUpperHex[p[2]] & kUpperHex[p[3]] &
            kUpperHex[p[4]] & kUpperHex[p[5]] & kUpperHex[p[6]] & kUpperHex[p[7]]) != 0;
}

} // namespace

void ForEachMergeRecord(HexReader& reader, MergeRecordVisitor& visitor) {
    HexRecordHeader header;
    while (reader.ReadHeader(header) == HexStart::Record && header.type != kEndOfFile) {
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
    const bool unchanged = wholeLine_ && source_ && source_ + 9 == piece.data() &&
                           rest.size() + 2 == piece.size() && piece[rest.size()] == '\r' &&
                           IsUpperHex(header_->text + 1);
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
    if (!wholeLine_) return;
    warnings_.Note(CheckHexRecord({header_->text, 9}, rest), header_->line);
    const uint32_t address = tracker_.Note(*header_, rest);
    if (header_->type == kData && header_->count > 0) {
        const uint64_t start = address, end = start + header_->count;
        if (!runs_.empty() && runs_.back().end == start)
            runs_.back().end = end;
        else
            runs_.push_back({start, end});
    }
}
