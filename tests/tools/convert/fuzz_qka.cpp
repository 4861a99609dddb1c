// Fuzz target of the QKA block scanner: any input gives a complete WAV whose
// blocks each stood in the input behind a sync.
#include "lib/voice/qka_convert.h"
#include "lib/voice/qka_scanner.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    if (!in || !out) std::abort();
    std::fwrite(data, 1, size, in);
    std::rewind(in);
    std::uint8_t buffer[convert::QkaScanner::kBufferSize];
    if (convert::ConvertQka(in, out, buffer, nullptr, nullptr) != convert::Outcome::Done)
        std::abort();
    std::fseek(out, 0, SEEK_END);
    const long length = std::ftell(out);
    if (length < 72 || (length - 72) % 256 != 0 ||
        (length - 72) / 256 * 260 > static_cast<long>(size))
        std::abort();
    std::vector<std::uint8_t> wav(static_cast<std::size_t>(length));
    std::rewind(out);
    if (std::fread(wav.data(), 1, wav.size(), out) != wav.size()) std::abort();
    // Every block written is the 256 bytes after a sync somewhere in the input.
    const std::uint8_t sync[3] = {0x7F, 0x7F, 0x7F};
    for (std::size_t b = 48; b + 24 < wav.size(); b += 256) {
        bool found = false;
        for (std::size_t at = 0; !found && at + 260 <= size; ++at)
            found = std::memcmp(data + at, sync, 3) == 0 &&
                    std::memcmp(data + at + 4, &wav[b], 256) == 0;
        if (!found) std::abort();
    }
    std::fclose(in);
    std::fclose(out);
    return 0;
}
