#pragma once
// kdmerge's view of one input: the records it copies, and where their data
// lands in memory (for the overlap warning only).
#include "lib/hex/hex_reader.h"
#include "lib/hex/hex_record_check.h"
#include "tools/kdmerge/merge_output.h"

#include <cstdint>
#include <string_view>
#include <vector>

// Receives the records of one input in file order.
class MergeRecordVisitor {
public:
    virtual ~MergeRecordVisitor() = default;
    // A record header; the rest of its line follows as pieces. The header
    // stays valid until the next call of Record or End.
    virtual void Record(const HexRecordHeader& header) = 0;
    // A piece of the rest of the line (data, checksum, line end). A line
    // that fits the reader's buffer comes as one piece, with last set.
    virtual void Piece(std::string_view piece, bool last) = 0;
    // The input has no more records.
    virtual void End() {}
    // A fast lane: may take whole lines from the start of text, the reader's
    // unread characters, whose first line is line firstLine, as long as
    // it can handle them without Record and Piece. Returns the characters
    // taken and sets lines to the number of lines among them.
    virtual std::size_t TakeLines(std::string_view /*text*/, unsigned /*firstLine*/,
                                  unsigned& lines) {
        lines = 0;
        return 0;
    }
};

// Walks the records of one input as kdmerge copies them: every record up to
// the first end record (type 01, not passed on) or the first line that does
// not begin with ":", or the end of the file.
void ForEachMergeRecord(HexReader& reader, MergeRecordVisitor& visitor);

// A span of absolute addresses [start, end).
struct AddressRun {
    uint64_t start = 0;
    uint64_t end = 0;
};

// Follows the absolute addresses of an input's data records: types 02 and 04
// set the base (segment * 16, upper 16 bits), type 00 records are placed at
// base + address. Used only to compare inputs; the merge copies verbatim.
class AddressTracker {
public:
    // Notes a record; rest is its whole rest of line. Returns the absolute
    // address of a data record's first byte (other types: 0).
    uint32_t Note(const HexRecordHeader& header, std::string_view rest);

private:
    uint32_t base_ = 0;
};

// Copies records into the merged output and collects what the warnings
// need: damaged records and the address runs of the data. Lines that come
// out unchanged (upper-case header, CR LF) are passed on in long runs
// straight from the reader's buffer.
class MergeCopier : public MergeRecordVisitor, public HexBufferObserver {
public:
    // Watches reader's buffer for the runs passed on.
    MergeCopier(MergeOutput& output, HexReader& reader);
    ~MergeCopier() override;

    void Record(const HexRecordHeader& header) override;
    void Piece(std::string_view piece, bool last) override;
    void End() override { FlushRun(); }
    // Takes plain records: upper-case header, not an end record, hex digits
    // of the right number, CR LF.
    std::size_t TakeLines(std::string_view text, unsigned firstLine, unsigned& lines) override;
    void BeforeRefill() override;

    const HexWarnings& Warnings() const { return warnings_; }
    // The data's address runs, adjacent records joined, in file order.
    const std::vector<AddressRun>& Runs() const { return runs_; }

private:
    void FlushRun();
    void Tally(const HexRecordHeader& header, std::string_view rest,
               const HexRecordFindings& findings);
    void WriteHeader();
    void WriteHeldReturns();

    MergeOutput& output_;
    HexReader& reader_;
    const HexRecordHeader* header_ = nullptr; // valid until the next Record
    const char* source_ = nullptr;            // the header in the reader's buffer
    bool headerWritten_ = false;
    bool wholeLine_ = true;
    std::size_t heldReturns_ = 0;
    const char* runStart_ = nullptr; // unchanged lines not yet written
    const char* runEnd_ = nullptr;
    AddressTracker tracker_;
    HexWarnings warnings_;
    std::vector<AddressRun> runs_;
};
