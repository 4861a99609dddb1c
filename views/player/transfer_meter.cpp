#include "views/player/transfer_meter.h"

#include "views/player/memory_rows.h"
#include "base/resources/strings.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace player {

TransferMeter::TransferMeter(std::vector<File> files, bool checked)
    : files_(std::move(files)), checked_(checked), copied_(files_.size(), false) {
    before_.reserve(files_.size());
    for (const File& file : files_) {
        before_.push_back(total_);
        total_ += file.size;
    }
}

TransferMeter::Position TransferMeter::Report(int64_t done, int64_t total, bool checking) {
    if (files_.empty()) return {0, 0, 0, 0, false};
    const auto size = [&](size_t i) { return static_cast<int64_t>(files_[i].size); };
    const uint64_t weight = checked_ ? 2 : 1;
    if (checking) { // the file under way, copied whole, is read back
        justFinished_.reset();
        const uint64_t bytes = files_[index_].size;
        const int64_t read = std::clamp<int64_t>(done, 0, std::max<int64_t>(total, 0));
        const uint64_t within =
            total <= 0 ? 0
                       : static_cast<uint64_t>(static_cast<long double>(read) * bytes / total);
        return {index_, weight * before_[index_] + bytes + within, weight * total_,
                before_[index_] + bytes, true};
    }
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
    justFinished_.reset();
    if (total == size(index_) && done >= total && !copied_[index_]) {
        copied_[index_] = true;
        justFinished_ = index_;
    }
    const uint64_t within =
        total > 0 ? static_cast<uint64_t>(std::clamp<int64_t>(done, 0, size(index_))) : 0;
    return {index_, weight * before_[index_] + within, weight * total_, before_[index_] + within,
            false};
}

void TransferMeter::Refused() {
    if (justFinished_) copied_[*justFinished_] = false;
    justFinished_.reset();
}

void TransferMeter::Confirm(size_t copied) {
    // Files are copied in order: the first ones counted are those the
    // device layer confirms.
    for (size_t i = 0; i < copied_.size(); ++i) {
        if (!copied_[i]) continue;
        if (copied > 0)
            --copied;
        else
            copied_[i] = false;
    }
}

size_t TransferMeter::Copied() const {
    return static_cast<size_t>(std::count(copied_.begin(), copied_.end(), true));
}

uint64_t TransferMeter::CopiedBytes() const {
    uint64_t bytes = 0;
    for (size_t i = 0; i < files_.size(); ++i)
        if (copied_[i]) bytes += files_[i].size;
    return bytes;
}

namespace {

// Bytes in the pane's units, rounded up: "879 KB", "48 MB".
std::string Amount(uint64_t bytes) {
    const ByteCount count = CountBytes(bytes);
    return std::to_string(count.value) + " " + count.unit;
}

} // namespace

// printf into a string; the formats are the catalogue's.
template <typename... Args> std::string Formatted(const char* format, Args... args) {
    char text[512];
    std::snprintf(text, sizeof text, strings::Tr(format), args...);
    return text;
}

std::string TransferMeter::Describe(const Position& position) const {
    if (files_.empty()) return {};
    const std::string bytes =
        total_ < 1048576
            ? Formatted("%llu of %llu KB", static_cast<unsigned long long>(position.bytes >> 10),
                     static_cast<unsigned long long>((total_ + 1023) >> 10))
            : Formatted("%.1f of %.1f MB", static_cast<double>(position.bytes) / 1048576.0,
                     static_cast<double>(total_) / 1048576.0);
    return Formatted(position.checking ? SD_TEXT("Checking file %zu of %zu: %s") : SD_TEXT("File %zu of %zu: %s"),
                  position.index + 1, files_.size(), files_[position.index].name.c_str()) +
           "\n" + bytes;
}

std::string TransferMeter::Summary(Ending ending, double seconds) const {
    const size_t copied = Copied();
    const std::string count =
        copied == files_.size()
            ? Formatted(copied == 1 ? SD_TEXT("%zu file") : SD_TEXT("%zu files"), copied)
            : Formatted("%zu of %zu files", copied, files_.size());
    if (ending == Ending::kCancelled) return Formatted("%s copied; cancelled", count.c_str());
    if (ending == Ending::kFailed) return Formatted("%s copied; failed", count.c_str());
    return Formatted("%s copied (%s) in %s", count.c_str(), Amount(CopiedBytes()).c_str(),
                  Formatted("%.1f s", seconds).c_str());
}

} // namespace player
