#include "lib/hex/image_writer.h"

#include "base/platform/file_length.h"
#include "base/platform/files.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::size_t kStreamBuffer = 1 << 18;
const std::array<uint8_t, 1 << 16> kZeros{};
// Shorter gaps are written as zeros: cheaper than the flush and seek that
// skipping them costs, and too short to save disk blocks.
constexpr uint64_t kShortestHole = kZeros.size();
} // namespace

ImageWriter::~ImageWriter() {
    if (file_) std::fclose(file_);
}

bool ImageWriter::Open(const std::string& path) {
    file_ = platform::OpenFile(path, "wb");
    if (!file_) return false;
    streamBuffer_ = std::make_unique_for_overwrite<char[]>(kStreamBuffer);
    std::setvbuf(file_, streamBuffer_.get(), _IOFBF, kStreamBuffer);
    position_ = written_ = size_ = 0;
    ok_ = true;
    return true;
}

bool ImageWriter::SeekTo(uint64_t offset) {
    if (offset == position_) return true;
    // A short step past the end of the data is filled rather than skipped.
    if (position_ == written_ && offset > written_ && offset - written_ < kShortestHole) {
        WriteZeros(offset - written_);
        return ok_;
    }
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) {
        ok_ = false;
        return false;
    }
    position_ = offset;
    return true;
}

void ImageWriter::WriteZeros(uint64_t n) {
    while (n > 0 && ok_) {
        const std::size_t chunk = static_cast<std::size_t>(std::min<uint64_t>(n, kZeros.size()));
        if (std::fwrite(kZeros.data(), 1, chunk, file_) != chunk) ok_ = false;
        position_ += chunk;
        n -= chunk;
    }
    written_ = std::max(written_, position_);
    size_ = std::max(size_, written_);
}

void ImageWriter::WriteAt(uint64_t offset, const uint8_t* data, std::size_t n) {
    if (n == 0) return; // a record without data bytes has no buffer either
    if (!file_ || !ok_ || !SeekTo(offset)) return;
    if (std::fwrite(data, 1, n, file_) != n) ok_ = false;
    position_ += n;
    written_ = std::max(written_, position_);
    size_ = std::max(size_, written_);
}

void ImageWriter::ZerosAt(uint64_t offset, uint64_t n) {
    if (!file_ || !ok_) return;
    // Bytes never written are zeros already (a hole, or the final length).
    if (offset < written_) {
        const uint64_t stop = std::min(offset + n, written_);
        if (!SeekTo(offset)) return;
        WriteZeros(stop - offset);
    }
    size_ = std::max(size_, offset + n);
}

bool ImageWriter::Close() {
    if (!file_) return false;
    if (ok_ && size_ > written_) {
        // The tail past the last data: a hole where the file system allows,
        // zeros written out where it does not (a device, say).
        if (!platform::SetFileLength(file_, size_) && SeekTo(written_))
            WriteZeros(size_ - written_);
    }
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed && ok_;
}
