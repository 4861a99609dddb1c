// sd_voicegen: writes voice recordings for tests and benchmarks.
//   sd_voicegen pcm <out> <seconds>      (raw 16-bit little-endian, 8000 Hz)
//   sd_voicegen qka <out> <seconds>
//   sd_voicegen qka-size <out> <bytes>   (blocks repeated to the exact size)
//   sd_voicegen qdx <out> <mode 0|1> <dtx 0|1> <seconds> [<amr out>]
#include "voice_data.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

namespace {

int Usage() {
    std::fputs("usage: sd_voicegen pcm <out> <seconds>\n"
               "       sd_voicegen qka <out> <seconds>\n"
               "       sd_voicegen qka-size <out> <bytes>\n"
               "       sd_voicegen qdx <out> <mode 0|1> <dtx 0|1> <seconds> [<amr out>]\n",
               stderr);
    return 2;
}

int Fail(const std::string& path) {
    std::fprintf(stderr, "sd_voicegen: cannot write '%s'\n", path.c_str());
    return 1;
}

// A QKA file of exactly `bytes` bytes: a minute of blocks over and over,
// then zero bytes that make no block.
int QkaOfSize(const std::string& path, long long bytes) {
    const std::vector<std::uint8_t> minute =
        voicedata::PackQka(voicedata::ImaEncode(voicedata::SpeechSignal(60)));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return Fail(path);
    long long left = bytes;
    while (left >= 260) {
        const auto n = static_cast<std::size_t>(
            std::min<long long>(left / 260 * 260, static_cast<long long>(minute.size())));
        std::fwrite(minute.data(), 1, n, f);
        left -= static_cast<long long>(n);
    }
    for (; left > 0; --left)
        std::fputc(0, f);
    return std::fclose(f) == 0 ? 0 : Fail(path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) return Usage();
    const std::string kind = argv[1];
    const std::string out = argv[2];
    try {
        if (kind == "pcm") {
            std::vector<std::uint8_t> raw;
            for (std::int16_t v : voicedata::SpeechSignal(std::atof(argv[3]))) {
                raw.push_back(static_cast<std::uint8_t>(v));
                raw.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8));
            }
            return voicedata::WriteFile(out, raw) ? 0 : Fail(out);
        }
        if (kind == "qka")
            return voicedata::MakeQkaRecording(out, std::atof(argv[3])) ? 0 : Fail(out);
        if (kind == "qka-size") return QkaOfSize(out, std::atoll(argv[3]));
        if (kind == "qdx" && argc >= 6) {
            const bool mr59 = std::strcmp(argv[3], "1") == 0;
            const bool dtx = std::strcmp(argv[4], "1") == 0;
            const auto frames =
                voicedata::EncodeAmr(voicedata::SpeechSignal(std::atof(argv[5])), mr59, dtx);
            voicedata::QdxLayout layout;
            layout.mr59 = mr59;
            if (!voicedata::WriteFile(out, voicedata::PackQdx(frames, layout))) return Fail(out);
            if (argc >= 7 && !voicedata::WriteFile(argv[6], voicedata::AmrFile(frames)))
                return Fail(argv[6]);
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sd_voicegen: %s\n", e.what());
        return 1;
    }
    return Usage();
}
