#include "qka_to_wav.h"

#include "command_line.h"
#include "lib/voice/file_io.h"
#include "lib/voice/input_map.h"
#include "qdx_to_wav.h"
#include "lib/voice/qka_convert.h"
#include "lib/voice/qka_scanner.h"

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <unistd.h>

namespace convert {

namespace {

// The message a file cut short under the mapping gets, made before the
// conversion: the signal handler may only write it.
char readFailure[4200];
std::size_t readFailureLength = 0;

void InputCutShort(int) {
    if (write(STDERR_FILENO, readFailure, readFailureLength) < 0) {
        // Nothing more can be said.
    }
    _exit(0); // a failed run, as for a read error; the output never took the old one's place
}

// While a mapped input is read, a file that another program cuts short
// ends the run with the read error's message instead of a crash.
class CutShortGuard {
public:
    explicit CutShortGuard(const char* inPath) {
        const int n = std::snprintf(readFailure, sizeof readFailure, "cannot read '%s'\n", inPath);
        readFailureLength = n < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n),
                                                              sizeof readFailure - 1);
        struct sigaction action {};
        action.sa_handler = InputCutShort;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &previous_);
    }
    ~CutShortGuard() { sigaction(SIGBUS, &previous_, nullptr); }
    CutShortGuard(const CutShortGuard&) = delete;
    CutShortGuard& operator=(const CutShortGuard&) = delete;

private:
    struct sigaction previous_ {};
};

} // namespace

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

    // A regular file is read where it lies, without a copy through a buffer.
    InputMap map(fileno(files.in.get()));
    Outcome outcome;
    if (map.Mapped()) {
        const CutShortGuard guard(inPath);
        outcome = ConvertMappedQka(map, files.out.get(), PrintProgress, nullptr);
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
