#include "qka_to_wav.h"

#include "command_line.h"
#include "lib/voice/file_io.h"
#include "lib/voice/input_chunks.h"
#include "qdx_to_wav.h"
#include "lib/voice/qka_convert.h"
#include "lib/voice/qka_scanner.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
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

    // A regular file is read in large chunks: few calls, and no page faults.
    InputChunks chunks(fileno(files.in.get()));
    Outcome outcome;
    if (chunks.Usable()) {
        outcome = ConvertChunkedQka(chunks, files.out.get(), PrintProgress, nullptr);
    } else {
        outcome = ConvertQka(files.in.get(), files.out.get(), buffer.get(), PrintProgress, nullptr);
    }
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
