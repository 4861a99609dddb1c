#include "tools/kdmerge/overlap_check.h"

#include "lib/hex/hex_digit.h"

#include <algorithm>

namespace {

// Sorts and joins ranges that touch or overlap.
std::vector<AddressRun> Normalized(std::vector<AddressRun> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const AddressRun& a, const AddressRun& b) { return a.start < b.start; });
    std::vector<AddressRun> out;
    for (const AddressRun& r : runs) {
        if (!out.empty() && r.start <= out.back().end)
            out.back().end = std::max(out.back().end, r.end);
        else
            out.push_back(r);
    }
    return out;
}

} // namespace

std::vector<AddressRun> FindOverlaps(const std::vector<std::vector<AddressRun>>& runsByInput) {
    struct Tagged {
        AddressRun run;
        unsigned input;
    };
    std::vector<Tagged> all;
    for (unsigned i = 0; i < runsByInput.size(); ++i)
        for (const AddressRun& r : Normalized(runsByInput[i]))
            all.push_back({r, i});
    std::sort(all.begin(), all.end(),
              [](const Tagged& a, const Tagged& b) { return a.run.start < b.run.start; });
    // Each input's runs are disjoint, so at most one run per input is active.
    std::vector<Tagged> active;
    std::vector<AddressRun> overlaps;
    for (const Tagged& t : all) {
        std::erase_if(active, [&](const Tagged& a) { return a.run.end <= t.run.start; });
        for (const Tagged& a : active)
            if (a.input != t.input)
                overlaps.push_back({t.run.start, std::min(a.run.end, t.run.end)});
        active.push_back(t);
    }
    return Normalized(std::move(overlaps));
}

ConflictFinder::ConflictFinder(std::vector<AddressRun> overlaps)
    : ranges_(Normalized(std::move(overlaps))) {
    uint64_t total = 0;
    for (const AddressRun& r : ranges_) {
        firstSlot_.push_back(total);
        total += r.end - r.start;
    }
    value_.assign(total, 0);
    owner_.assign(total, 0);
    pending_.assign(total, 0);
    pendingSet_.assign(total, 0);
}

long long ConflictFinder::Slot(uint64_t address) const {
    auto it = std::upper_bound(ranges_.begin(), ranges_.end(), address,
                               [](uint64_t a, const AddressRun& r) { return a < r.end; });
    if (it == ranges_.end() || address < it->start) return -1;
    const std::size_t i = static_cast<std::size_t>(it - ranges_.begin());
    return static_cast<long long>(firstSlot_[i] + (address - it->start));
}

void ConflictFinder::BeginInput(unsigned input) {
    input_ = input;
    tracker_ = AddressTracker();
}

void ConflictFinder::Record(const HexRecordHeader& header) {
    header_ = header;
    wholeLine_ = true;
}

void ConflictFinder::Piece(std::string_view piece, bool last) {
    if (!last) {
        wholeLine_ = false;
        return;
    }
    if (!wholeLine_) return;
    const uint32_t address = tracker_.Note(header_, piece);
    if (header_.type != 0) return;
    for (unsigned i = 0; i < header_.count && 2 * i + 1 < piece.size(); ++i) {
        const long long slot = Slot(uint64_t{address} + i);
        if (slot < 0) continue;
        pending_[slot] = static_cast<uint8_t>(HexDigitValue(piece[2 * i]) * 16 +
                                              HexDigitValue(piece[2 * i + 1]));
        pendingSet_[slot] = 1;
    }
}

void ConflictFinder::EndInput() {
    for (std::size_t r = 0; r < ranges_.size(); ++r) {
        for (uint64_t a = ranges_[r].start; a < ranges_[r].end; ++a) {
            const std::size_t s = firstSlot_[r] + (a - ranges_[r].start);
            if (!pendingSet_[s]) continue;
            pendingSet_[s] = 0;
            if (owner_[s] != 0 && owner_[s] - 1u != input_ && value_[s] != pending_[s])
                conflicts_.emplace(std::make_pair(owner_[s] - 1u, input_),
                                   static_cast<uint32_t>(a));
            value_[s] = pending_[s];
            owner_[s] = static_cast<uint8_t>(input_ + 1);
        }
    }
}

std::vector<DataConflict> ConflictFinder::Conflicts() const {
    std::vector<DataConflict> out;
    for (const auto& [pair, address] : conflicts_)
        out.push_back({pair.first, pair.second, address});
    return out;
}
