#include "command_line.h"

#include "lib/voice/file_io.h"
#include "qdx_to_wav.h"
#include "qka_to_wav.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>

namespace convert {

namespace {

// On a terminal the progress line is pushed out at most every 100 ms, so
// that a large file is not slowed down by one write per line.
void FlushProgressNow(bool force) {
    using Clock = std::chrono::steady_clock;
    static Clock::time_point last{};
    const Clock::time_point now = Clock::now();
    if (force || now - last >= std::chrono::milliseconds(100)) {
        std::fflush(stdout);
        last = now;
    }
}

} // namespace

int PrintProgress(long done, long total, void*) {
    const long percent =
        total > 0 ? static_cast<long>(static_cast<long long>(done) * 100 / total) : 0;
    // "%ld / %ld (%ld %%)\r", formatted by hand: qdx2wav prints one line per
    // 20 ms of speech, and printf would cost a noticeable part of the run.
    char line[80];
    char* p = std::to_chars(line, line + 20, done).ptr;
    p = std::copy_n(" / ", 3, p);
    p = std::to_chars(p, p + 20, total).ptr;
    p = std::copy_n(" (", 2, p);
    p = std::to_chars(p, p + 20, percent).ptr;
    p = std::copy_n(" %)\r", 4, p);
    std::fwrite(line, 1, static_cast<std::size_t>(p - line), stdout);
    FlushProgressNow(false);
    return 0;
}

void PrintBanner(const char* first) {
    std::fputs(first, stdout);
    std::fputs("Copyright (C) Zentrovia\n", stdout);
}

void PrintUsage(const char* line) {
    std::fputs("Usage :\n", stdout);
    std::fputs(line, stdout);
}

void PrintError(const char* format, const char* path) {
    FlushProgressNow(true);
    std::fprintf(stderr, format, path);
}

void ReportIoFailure(Outcome outcome, const char* inPath, const char* outPath, const char* lead) {
    FlushProgressNow(true);
    if (outcome == Outcome::WriteError)
        std::fprintf(stderr, "%scannot write '%s'\n", lead, outPath);
    else if (outcome == Outcome::ReadError)
        std::fprintf(stderr, "%scannot read '%s'\n", lead, inPath);
}

void IgnoreBrokenPipe() {
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

int Qdx2WavMain(int argc, char** argv) {
    IgnoreBrokenPipe();
    PrintBanner("Zentrovia Voice Recorder conversion program\n");
    if (argc < 3) {
        PrintUsage("\t qdx2wav [<qdx file> <wav file>]\n");
        return 0;
    }
    const char* inPath = argv[1];
    const char* outPath = argv[2];
    FilePair files = OpenPair(inPath, outPath);
    if (!files.in || !files.out) {
        if (!files.in) PrintError("\ncannot open '%s'\n", inPath);
        // Writing over the recording being read would destroy it.
        if (files.outIsInput)
            PrintError("\ncannot write '%s'\n", outPath);
        else if (files.in ? !files.out : !files.outOpenable)
            PrintError("\ncannot open '%s' or already exist\n", outPath);
        return 0;
    }

    int result = QdxToWav(files.in.get(), files.out.get(), PrintProgress, nullptr);
    // Only a whole conversion replaces the output file.
    if (result == 0 && !Commit(files)) result = kResultWriteError;
    files.in.reset();
    if (result == kResultWriteError)
        ReportIoFailure(Outcome::WriteError, inPath, outPath, "\n");
    else if (result == kResultReadError)
        ReportIoFailure(Outcome::ReadError, inPath, outPath, "\n");
    std::fflush(stdout);
    return result == 0 ? 1 : 0;
}

int Qka2WavMain(int argc, char** argv) {
    IgnoreBrokenPipe();
    PrintBanner("Zentrovia ADPCM file conversion program\n");
    if (argc < 3) {
        PrintUsage("\t qka2wav [<qka file> <wav file>]\n");
        return 0;
    }
    const int result = QkaToWav(argv[1], argv[2]);
    std::fflush(stdout);
    return result == 0 ? 1 : 0;
}

} // namespace convert
