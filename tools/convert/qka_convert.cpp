#include "qka_convert.h"

#include "file_io.h"
#include "output_stream.h"
#include "qka_scanner.h"
#include "wav_format.h"

namespace convert {

namespace {

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

    QkaScanner scanner(in, buffer, size, progress, user);
    std::uint64_t blocks = 0;
    const std::uint8_t* adpcm = nullptr;
    for (;;) {
        const QkaScanner::Status status = scanner.Next(adpcm);
        if (status == QkaScanner::Status::ReadError) return Outcome::ReadError;
        if (status == QkaScanner::Status::Stopped)
            return output.Flush() ? Outcome::Stopped : Outcome::WriteError;
        if (status == QkaScanner::Status::End) break;
        if (blocks == kMaxBlocks || !output.Write(adpcm, kImaBlockSize)) return Outcome::WriteError;
        ++blocks;
    }

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
