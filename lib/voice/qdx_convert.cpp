#include "qdx_convert.h"

#include "file_io.h"
#include "output_stream.h"
#include "qdx_reader.h"
#include "wav_format.h"

#include <opencore-amrnb/interf_dec.h>

#include <array>
#include <memory>

namespace convert {

namespace {

struct DecoderDeleter {
    void operator()(void* state) const { Decoder_Interface_exit(state); }
};
using Decoder = std::unique_ptr<void, DecoderDeleter>;

} // namespace

Outcome ConvertQdx(std::FILE* in, std::FILE* out, Progress progress, void* user) {
    Decoder decoder(Decoder_Interface_init());
    if (!decoder) return Outcome::NoDecoder;

    const long size = StreamSize(in);
    std::fseek(out, 0, SEEK_SET);

    QdxReader reader(in);
    switch (reader.ReadHeader()) {
    case QdxReader::Status::Ok:
        break;
    case QdxReader::Status::ReadError:
        return Outcome::ReadError;
    default:
        return Outcome::NotQdx;
    }

    OutputStream output(out);
    const std::array<std::uint8_t, kPcmHeaderSize> placeholder{};
    output.Write(placeholder.data(), placeholder.size());

    QdxFrame frame;
    std::array<short, 160> pcm{};
    std::array<std::uint8_t, kPcmFrameBytes> bytes{};
    for (;;) {
        const QdxReader::Status status = reader.ReadFrame(frame);
        if (status == QdxReader::Status::ReadError) return Outcome::ReadError;
        if (status == QdxReader::Status::End) break;
        if (progress && progress(reader.Position(), size, user) != 0)
            return output.Flush() ? Outcome::Stopped : Outcome::WriteError;
        if (status == QdxReader::Status::Truncated) break; // a last frame cut short is dropped
        if (output.Length() + kPcmFrameBytes > kMaxWavLength) return Outcome::WriteError;

        // opencore-amr's receive DTX handling follows the standard with two
        // differences, both accepted: an RX_SID_UPDATE frame after more than
        // 50 frames in DTX is not muted, and an RX_NO_DATA frame that leaves
        // the decoder in the speech state counts as speech for the hangover.
        // No-data frames before the first frame of any other type are decoded
        // with the decoder's own starting mode (4.75 kbit/s) whatever the
        // file's mode; from a fresh state they give near silence either way.
        const StorageFrame storage = reader.ToStorage(frame);
        Decoder_Interface_Decode(decoder.get(), storage.bytes.data(), pcm.data(), 0);

        for (std::size_t i = 0; i < pcm.size(); ++i) {
            const auto s = static_cast<std::uint16_t>(pcm[i]);
            bytes[2 * i] = static_cast<std::uint8_t>(s);
            bytes[2 * i + 1] = static_cast<std::uint8_t>(s >> 8);
        }
        if (!output.Write(bytes.data(), bytes.size())) return Outcome::WriteError;
    }

    const auto header = PcmHeader(output.Length());
    output.WriteAt(0, header.data(), header.size());
    return output.Flush() ? Outcome::Done : Outcome::WriteError;
}

} // namespace convert
