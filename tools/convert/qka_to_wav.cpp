#include "qka_to_wav.h"

#include "command_line.h"
#include "lib/voice/file_io.h"
#include "qdx_to_wav.h"
#include "lib/voice/qka_convert.h"
#include "lib/voice/qka_scanner.h"

#include <cstdint>
#include <memory>
#include <new>

namespace convert {

int QkaToWav(const char* inPath, const char* outPath) {
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow)
                                               std::uint8_t[QkaScanner::kBufferSize]);
    if (!buffer) return kResultRejected;

    FilePair files = OpenPair(inPath, outPath);
    if (!files.in || !files.out) {
        if (!files.in) PrintError("cannot open '%s'\n", inPath);
        // Writing over the recording being read would destroy it.
        if (files.outIsInput)
            PrintError("cannot write '%s'\n", outPath);
        else if (files.in ? !files.out : !files.outOpenable)
            PrintError("cannot open '%s' or already exist\n", outPath);
        return kResultRejected;
    }

    Outcome outcome =
        ConvertQka(files.in.get(), files.out.get(), buffer.get(), PrintProgress, nullptr);
    // Only a whole conversion replaces the output file.
    if (outcome == Outcome::Done && !Commit(files)) outcome = Outcome::WriteError;
    files.in.reset();
    switch (outcome) {
    case Outcome::Done:
        return 0;
    case Outcome::WriteError:
    case Outcome::ReadError:
        ReportIoFailure(outcome, inPath, outPath, "");
        return outcome == Outcome::WriteError ? kResultWriteError : kResultReadError;
    default:
        return kResultRejected;
    }
}

} // namespace convert
