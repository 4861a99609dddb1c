#include "voice_convert.h"

#include "file_io.h"
#include "qdx_convert.h"
#include "qka_convert.h"
#include "qka_scanner.h"

#include <cstdint>
#include <memory>
#include <new>

namespace convert {

namespace {

int ResultOf(Outcome outcome) {
    switch (outcome) {
    case Outcome::Done:
        return 0;
    case Outcome::NotQdx:
        return -1;
    case Outcome::NoDecoder:
        return -2;
    case Outcome::Stopped:
        return -3;
    case Outcome::ReadError:
    case Outcome::WriteError:
        return -4;
    }
    return -4;
}

// Runs a conversion between two paths without printing. The output is
// created only when the input opens.
template <typename Convert>
int ConvertFiles(const char* inPath, const char* outPath, Convert convert) {
    FilePair files = OpenInputFirst(inPath, outPath);
    if (!files.in || !files.out) return -1;
    Outcome outcome = convert(files.in.get(), files.out.get());
    if (!Close(files.out) && outcome == Outcome::Done) outcome = Outcome::WriteError;
    return ResultOf(outcome);
}

} // namespace

int QkaFileToWav(const char* inPath, const char* outPath, Progress progress, void* user) {
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow)
                                               std::uint8_t[QkaScanner::kBufferSize]);
    if (!buffer) return -1;
    return ConvertFiles(inPath, outPath, [&](std::FILE* in, std::FILE* out) {
        return ConvertQka(in, out, buffer.get(), progress, user);
    });
}

int QdxFileToWav(const char* inPath, const char* outPath, Progress progress, void* user) {
    return ConvertFiles(inPath, outPath, [&](std::FILE* in, std::FILE* out) {
        return ConvertQdx(in, out, progress, user);
    });
}

} // namespace convert
