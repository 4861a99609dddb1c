#include "views/player/transfer_meter.h"

#include <algorithm>
#include <cstdio>

namespace player {

TransferMeter::TransferMeter(std::vector<File> files) : files_(std::move(files)) {
    before_.reserve(files_.size());
    for (const File& file : files_) {
        before_.push_back(total_);
        total_ += file.size;
    }
}

TransferMeter::Position TransferMeter::Report(int64_t done, int64_t total) {
    if (files_.empty()) return {0, 0, 0};
    const auto size = [&](size_t i) { return static_cast<int64_t>(files_[i].size); };
    if (!started_) {
        started_ = true;
    } else if (done < lastDone_ && index_ + 1 < files_.size()) {
        ++index_; // the library started on the next file
    }
    // A total that is not the current file's size belongs to a later file
    // (the ones between were skipped, as when the user kept a PC file).
    if (total > 0 && total != size(index_)) {
        for (size_t i = index_ + 1; i < files_.size(); ++i) {
            if (size(i) == total) {
                index_ = i;
                break;
            }
        }
    }
    lastDone_ = done;
    const uint64_t within =
        total > 0 ? static_cast<uint64_t>(std::clamp<int64_t>(done, 0, size(index_))) : 0;
    return {index_, before_[index_] + within, total_};
}

namespace {

std::string Megabytes(uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / 1048576.0);
    return text;
}

} // namespace

std::string TransferMeter::Describe(const Position& position) const {
    if (files_.empty()) return {};
    return files_[position.index].name + ", file " + std::to_string(position.index + 1) + " of " +
           std::to_string(files_.size()) + ", " + Megabytes(position.done) + " of " +
           Megabytes(position.total) + " MB";
}

} // namespace player
