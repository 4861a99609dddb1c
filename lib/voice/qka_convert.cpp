#include "qka_convert.h"

#include "file_io.h"
#include "input_chunks.h"
#include "output_stream.h"
#include "qka_scanner.h"
#include "wav_format.h"

#include <cstring>
#include <vector>

namespace convert {

namespace {

// Blocks written with one call: of a stream, and of a file read in chunks.
constexpr std::size_t kBatchBlocks = 64;
constexpr std::size_t kChunkedBatchBlocks = 1024;

// Most blocks whose WAV still fits the 32-bit RIFF size.
constexpr std::uint64_t kMaxBlocks =
    (kMaxWavLength - kImaHeaderSize - kImaTrailerSize) / kImaBlockSize;

// Blocks go out in batches: one write call per block would cost more than
// all the scanning. A large batch goes straight to the file (one contiguous
// write costs the kernel far less than many 256-byte pieces).
class BlockBatch {
public:
    BlockBatch(OutputStream& output, std::size_t blocks, bool direct)
        : output_(output), batch_(blocks * kImaBlockSize), blocks_(blocks), direct_(direct) {}
    bool Add(const std::uint8_t* adpcm) {
        std::memcpy(batch_.data() + batched_ * kImaBlockSize, adpcm, kImaBlockSize);
        return ++batched_ < blocks_ || Flush();
    }
    bool Flush() {
        const std::size_t n = batched_ * kImaBlockSize;
        batched_ = 0;
        return direct_ ? output_.WriteThrough(batch_.data(), n) : output_.Write(batch_.data(), n);
    }

private:
    OutputStream& output_;
    std::vector<std::uint8_t> batch_;
    std::size_t blocks_;
    bool direct_;
    std::size_t batched_ = 0;
};

Outcome Convert(QkaScanner& scanner, OutputStream& output, BlockBatch& batch) {
    const auto header = ImaHeader(0);
    output.Write(header.data(), header.size());
    std::uint64_t blocks = 0;
    const std::uint8_t* adpcm = nullptr;
    for (;;) {
        const QkaScanner::Status status = scanner.Next(adpcm);
        if (status == QkaScanner::Status::ReadError) {
            batch.Flush();
            return Outcome::ReadError;
        }
        if (status == QkaScanner::Status::Stopped)
            return batch.Flush() && output.Flush() ? Outcome::Stopped : Outcome::WriteError;
        if (status == QkaScanner::Status::End) break;
        if (blocks == kMaxBlocks) return Outcome::WriteError;
        if (!batch.Add(adpcm)) return Outcome::WriteError;
        ++blocks;
    }
    if (!batch.Flush()) return Outcome::WriteError;

    const auto n = static_cast<std::uint32_t>(blocks);
    const auto trailer = ImaTrailer(n);
    output.Write(trailer.data(), trailer.size());
    std::uint8_t field[4];
    PutLe32(field, 64 + n * static_cast<std::uint32_t>(kImaBlockSize));
    output.WriteAt(4, field, sizeof field);
    PutLe32(field, n * static_cast<std::uint32_t>(kImaBlockSize));
    output.WriteAt(static_cast<long>(kImaDataSizeOffset), field, sizeof field);
    return output.Flush() ? Outcome::Done : Outcome::WriteError;
}

} // namespace

Outcome ConvertQka(std::FILE* in, std::FILE* out, std::uint8_t* buffer, Progress progress,
                   void* user) {
    const long size = StreamSize(in);
    OutputStream output(out);
    QkaScanner scanner(in, buffer, size, progress, user);
    BlockBatch batch(output, kBatchBlocks, false);
    return Convert(scanner, output, batch);
}

Outcome ConvertChunkedQka(InputChunks& in, std::FILE* out, Progress progress, void* user) {
    OutputStream output(out);
    QkaScanner scanner(in, static_cast<long>(in.Size()), progress, user);
    BlockBatch batch(output, kChunkedBatchBlocks, true);
    return Convert(scanner, output, batch);
}

} // namespace convert
