#include "qka_convert.h"

#include "file_io.h"
#include "output_stream.h"
#include "qka_scanner.h"
#include "wav_format.h"

#include <array>
#include <cstring>

namespace convert {

namespace {

// Blocks written with one call.
constexpr std::size_t kBatchBlocks = 64;

// Most blocks whose WAV still fits the 32-bit RIFF size.
constexpr std::uint64_t kMaxBlocks =
    (kMaxWavLength - kImaHeaderSize - kImaTrailerSize) / kImaBlockSize;

} // namespace

Outcome ConvertQka(std::FILE* in, std::FILE* out, std::uint8_t* buffer, Progress progress,
                   void* user) {
    const long size = StreamSize(in);
    OutputStream output(out);
    const auto header = ImaHeader(0);
    output.Write(header.data(), header.size());

    // Blocks go out in batches: one write call per block would cost more
    // than all the scanning. The batch is fixed, as is the work buffer.
    std::array<std::uint8_t, kBatchBlocks * kImaBlockSize> batch;
    std::size_t batched = 0;
    auto writeBatch = [&] {
        const bool ok = output.Write(batch.data(), batched * kImaBlockSize);
        batched = 0;
        return ok;
    };

    QkaScanner scanner(in, buffer, size, progress, user);
    std::uint64_t blocks = 0;
    const std::uint8_t* adpcm = nullptr;
    for (;;) {
        const QkaScanner::Status status = scanner.Next(adpcm);
        if (status == QkaScanner::Status::ReadError) {
            writeBatch();
            return Outcome::ReadError;
        }
        if (status == QkaScanner::Status::Stopped)
            return writeBatch() && output.Flush() ? Outcome::Stopped : Outcome::WriteError;
        if (status == QkaScanner::Status::End) break;
        if (blocks == kMaxBlocks) return Outcome::WriteError;
        std::memcpy(batch.data() + batched * kImaBlockSize, adpcm, kImaBlockSize);
        if (++batched == kBatchBlocks && !writeBatch()) return Outcome::WriteError;
        ++blocks;
    }
    if (!writeBatch()) return Outcome::WriteError;

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

} // namespace convert
