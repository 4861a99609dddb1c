#include "qka_convert.h"

#include "file_io.h"
#include "input_map.h"
#include "output_stream.h"
#include "qka_scanner.h"
#include "wav_format.h"

#include <array>
#include <cstring>
#include <vector>

namespace convert {

namespace {

// Blocks written with one call.
constexpr std::size_t kBatchBlocks = 64;
// Blocks of a mapped input written with one call.
constexpr std::size_t kMappedBatchBlocks = 1024;

// Most blocks whose WAV still fits the 32-bit RIFF size.
constexpr std::uint64_t kMaxBlocks =
    (kMaxWavLength - kImaHeaderSize - kImaTrailerSize) / kImaBlockSize;

// Blocks go out in batches: one write call per block would cost more than
// all the scanning. The batch is fixed, as is the work buffer.
class CopiedBlocks {
public:
    explicit CopiedBlocks(OutputStream& output) : output_(output) {}
    bool Add(const std::uint8_t* adpcm) {
        std::memcpy(batch_.data() + batched_ * kImaBlockSize, adpcm, kImaBlockSize);
        return ++batched_ < kBatchBlocks || Flush();
    }
    bool Flush() {
        const bool ok = output_.Write(batch_.data(), batched_ * kImaBlockSize);
        batched_ = 0;
        return ok;
    }

private:
    OutputStream& output_;
    std::array<std::uint8_t, kBatchBlocks * kImaBlockSize> batch_;
    std::size_t batched_ = 0;
};

// The blocks of a mapped input are gathered into large batches written
// straight to the file (one contiguous write costs the kernel far less than
// many 256-byte pieces); once written, the input before the scanner's
// window is given back.
class MappedBlocks {
public:
    MappedBlocks(OutputStream& output, InputMap& map, const QkaScanner& scanner)
        : output_(output), map_(map), scanner_(scanner), batch_(kMappedBatchBlocks * kImaBlockSize) {}
    bool Add(const std::uint8_t* adpcm) {
        std::memcpy(batch_.data() + batched_ * kImaBlockSize, adpcm, kImaBlockSize);
        return ++batched_ < kMappedBatchBlocks || Flush();
    }
    bool Flush() {
        const bool ok = output_.WriteThrough(batch_.data(), batched_ * kImaBlockSize);
        batched_ = 0;
        map_.Release(scanner_.Window());
        return ok;
    }

private:
    OutputStream& output_;
    InputMap& map_;
    const QkaScanner& scanner_;
    std::vector<std::uint8_t> batch_;
    std::size_t batched_ = 0;
};

template <typename Blocks>
Outcome Convert(QkaScanner& scanner, OutputStream& output, Blocks& batch) {
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
    CopiedBlocks batch(output);
    return Convert(scanner, output, batch);
}

Outcome ConvertMappedQka(InputMap& in, std::FILE* out, Progress progress, void* user) {
    OutputStream output(out);
    QkaScanner scanner(in.Data(), static_cast<long>(in.Size()), progress, user);
    MappedBlocks batch(output, in, scanner);
    return Convert(scanner, output, batch);
}

} // namespace convert
