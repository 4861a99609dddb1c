#pragma once
// Finds inputs that put different data at the same address.
#include "tools/kdmerge/merge_records.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

// Address ranges that data of two or more different inputs cover.
// Overlaps within one input are not counted.
std::vector<AddressRun> FindOverlaps(const std::vector<std::vector<AddressRun>>& runsByInput);

// Two inputs with different data at one address.
struct DataConflict {
    unsigned earlier = 0; // input index
    unsigned later = 0;
    uint32_t address = 0; // the lowest such address of the pair
};

// Compares the data that the inputs put into the overlapping ranges. Feed
// the inputs in order; within one input the last write to an address stands.
class ConflictFinder : public MergeRecordVisitor {
public:
    explicit ConflictFinder(std::vector<AddressRun> overlaps);

    void BeginInput(unsigned input);
    void Record(const HexRecordHeader& header) override;
    void Piece(std::string_view piece, bool last) override;
    void EndInput();

    // One conflict per pair of inputs, ordered by the pair.
    std::vector<DataConflict> Conflicts() const;

private:
    // Index of the byte for an address in the slot arrays, or -1.
    long long Slot(uint64_t address) const;

    std::vector<AddressRun> ranges_;
    std::vector<uint64_t> firstSlot_;    // slot index of each range's start
    std::vector<uint8_t> value_, owner_; // owner: input + 1, 0 none
    std::vector<uint8_t> pending_, pendingSet_;
    unsigned input_ = 0;
    HexRecordHeader header_;
    bool wholeLine_ = true;
    AddressTracker tracker_;
    std::map<std::pair<unsigned, unsigned>, uint32_t> conflicts_;
};
