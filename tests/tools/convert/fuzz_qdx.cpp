// Fuzz target of the QDX reader and decoding: any input ends in a known
// outcome with a WAV whose size matches what was decoded.
#include "lib/voice/qdx_convert.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    if (!in || !out) std::abort();
    std::fwrite(data, 1, size, in);
    std::rewind(in);
    const convert::Outcome outcome = convert::ConvertQdx(in, out, nullptr, nullptr);
    std::fseek(out, 0, SEEK_END);
    const long length = std::ftell(out);
    if (outcome == convert::Outcome::Done && (length < 44 || (length - 44) % 320 != 0))
        std::abort();
    if (outcome == convert::Outcome::NotQdx && length != 0) std::abort();
    std::fclose(in);
    std::fclose(out);
    return 0;
}
