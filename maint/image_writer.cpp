#include "maint/image_writer.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::size_t kStreamBuffer = 1 << 18;
const std::array<uint8_t, 1 << 16> kZeros{};
} // namespace

ImageWriter::~ImageWriter() {
    if (file_) std::fclose(file_);
}

bool ImageWriter::Open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return false;
    streamBuffer_ = std::make_unique_for_overwrite<char[]>(kStreamBuffer);
    std::setvbuf(file_, streamBuffer_.get(), _IOFBF, kStreamBuffer);
    position_ = 0;
    ok_ = true;
    return true;
}

bool ImageWriter::SeekTo(uint64_t offset) {
    if (offset == position_) return true;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) {
        ok_ = false;
        return false;
    }
    position_ = offset;
    return true;
}

void ImageWriter::WriteAt(uint64_t offset, const uint8_t* data, std::size_t n) {
    if (n == 0) return; // a record without data bytes has no buffer either
    if (!file_ || !ok_ || !SeekTo(offset)) return;
    if (std::fwrite(data, 1, n, file_) != n) ok_ = false;
    position_ += n;
}

void ImageWriter::ZerosAt(uint64_t offset, uint64_t n) {
    if (!file_ || !ok_ || !SeekTo(offset)) return;
    while (n > 0 && ok_) {
        const std::size_t chunk = static_cast<std::size_t>(std::min<uint64_t>(n, kZeros.size()));
        if (std::fwrite(kZeros.data(), 1, chunk, file_) != chunk) ok_ = false;
        position_ += chunk;
        n -= chunk;
    }
}

bool ImageWriter::Close() {
    if (!file_) return false;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed && ok_;
}
