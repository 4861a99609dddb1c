// kdmerge: joins Intel HEX files into one, in command-line order.
#include "base/platform/console.h"
#include "base/platform/files.h"
#include "base/platform/option_word.h"
#include "lib/hex/hex_reader.h"
#include "tools/kdmerge/merge_output.h"
#include "tools/kdmerge/merge_records.h"
#include "tools/kdmerge/overlap_check.h"

#include <cctype>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kMaxInputs = 64;
constexpr int kFailure = -1;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct Options {
    std::vector<std::string> inputs;
    std::string output;
    bool hasOutput = false;
    bool quiet = false;
    bool allYes = false;
};

enum class Parsed { Run, Usage, Error };

void PrintBanner(std::FILE* stream) {
    std::fputs("KD5200 HEX Merge program\n"
               "Copyright (c) Zentrovia. All rights reserved.\n"
               "\n",
               stream);
}

void PrintUsage() {
    std::fputs("Usage:\n"
               "  kdmerge [/o out-hex] [hex1] [hex2] [...] [hexn] [/y] [/q] [/?] [/h]\n"
               "  \t/o out-hex : Output Hex file\n"
               "  \thexn       : n-th Input Hex file\n"
               "  \t/q         : Quiet\n"
               "  \t/y         : All Yes\n"
               "  \t/?, /h     : help\n"
               "  '-' can be accepted also, instead of '/'\n",
               stdout);
}

// Reads the arguments; on Error, message holds the lines for standard error.
Parsed ParseArguments(int argc, char** argv, Options& options, std::string& message) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (platform::IsLongHelp(arg)) return Parsed::Usage;
        if (platform::IsOptionWord(arg)) {
            switch (std::tolower(static_cast<unsigned char>(arg.size() > 1 ? arg[1] : '\0'))) {
            case 'o':
                if (i + 1 < argc) {
                    options.output = argv[++i];
                    options.hasOutput = true;
                }
                break;
            case 'y':
                options.allYes = true;
                break;
            case 'q':
                options.quiet = true;
                break;
            case 'h':
            case '?':
                return Parsed::Usage;
            default:
                message = "Invalid " + std::to_string(i) + "th option '" + arg +
                          "'\nUse /? or /h for help\n";
                return Parsed::Error;
            }
        } else {
            if (options.inputs.size() == kMaxInputs) {
                message =
                    "Too many Input file, You can use " + std::to_string(kMaxInputs) + " maximum\n";
                return Parsed::Error;
            }
            options.inputs.push_back(arg);
        }
    }
    return Parsed::Run;
}

// Whether the input can be opened for reading, found with stat and access
// alone: opening a FIFO to check it would wait for a writer, or use up the
// one it has. A folder does not count, although the C library opens one
// without complaint.
bool Readable(const std::string& path) {
    const platform::FileKind kind = platform::KindOf(path);
    return kind != platform::FileKind::Missing && kind != platform::FileKind::Folder &&
           platform::CanRead(path);
}

// Whether writing the output would replace a file: it exists and is not a
// FIFO or a terminal-like device, which hold nothing to lose. Found with
// stat, without opening anything.
bool WouldReplace(const std::string& path) {
    const platform::FileKind kind = platform::KindOf(path);
    return kind != platform::FileKind::Missing && kind != platform::FileKind::Stream;
}

// Whether the file can be read again: a regular file, not a FIFO whose
// data is gone.
bool RegularFile(const std::string& path) {
    return platform::KindOf(path) == platform::FileKind::Regular;
}

// Asks whether to replace the output file. The end of input counts as N.
bool ConfirmOverwrite(const std::string& path) {
    for (;;) {
        std::printf("Output file '%s' already exist. Overwrite? [y/N] :", path.c_str());
        std::fflush(stdout);
        const int c = std::getchar();
        if (c == EOF || c == '\n' || c == '\r' || c == 'n' || c == 'N') return false;
        if (c == 'y' || c == 'Y') return true;
    }
}

void PrintWarnings(const std::string& name, const HexWarnings& warnings) {
    for (const std::string& line : FormatHexWarnings(name, warnings))
        std::fprintf(stderr, "kdmerge: %s\n", line.c_str());
}

// Reads the inputs again and warns where two of them put different data at
// one address. The merged output is not affected.
void WarnAboutConflicts(const Options& options, const std::vector<std::vector<AddressRun>>& runs) {
    std::vector<AddressRun> overlaps = FindOverlaps(runs);
    if (overlaps.empty()) return;
    ConflictFinder finder(std::move(overlaps));
    for (unsigned i = 0; i < options.inputs.size(); ++i) {
        if (!RegularFile(options.inputs[i])) continue;
        FilePtr in(platform::OpenFile(options.inputs[i], "rb"));
        if (!in) continue;
        HexReader reader(in.get(), 1 << 16);
        finder.BeginInput(i);
        ForEachMergeRecord(reader, finder);
        finder.EndInput();
    }
    for (const DataConflict& c : finder.Conflicts())
        std::fprintf(stderr,
                     "kdmerge: warning: '%s' and '%s' hold different data at address 0x%08X\n",
                     options.inputs[c.earlier].c_str(), options.inputs[c.later].c_str(),
                     static_cast<unsigned>(c.address));
}

// Writes every input to output in turn, followed by the end record.
// Returns false when a write failed; readFailed tells whether an input could
// not be read whole. The stream is flushed, not closed.
bool MergeInputs(const Options& options, std::FILE* output,
                 std::vector<std::vector<AddressRun>>& runs, bool& readFailed) {
    MergeOutput merged(output);
    for (std::size_t i = 0; i < options.inputs.size(); ++i) {
        const std::string& input = options.inputs[i];
        if (!options.quiet) {
            std::printf("Merging '%s'...\n", input.c_str());
            std::fflush(stdout);
        }
        FilePtr in(platform::OpenFile(input, "rb"));
        if (!in) {
            std::fprintf(stderr, "Cannot open Input file '%s'\n", input.c_str());
            continue;
        }
        merged.Append(":020000040000FA");
        merged.EndLine();
        HexReader reader(in.get(), 1 << 18);
        MergeCopier copier(merged, reader);
        ForEachMergeRecord(reader, copier);
        PrintWarnings(input, copier.Warnings());
        runs[i] = copier.Runs();
        if (reader.Failed()) {
            // The merged file lacks part of this input: not a success.
            std::fprintf(stderr, "Cannot read Input file '%s'\n", input.c_str());
            readFailed = true;
        }
    }
    // The single end record and two empty lines end the merged file; nothing
    // follows them that a strict HEX reader could take for a bad record.
    merged.Append(":00000001FF");
    merged.EndLine();
    merged.EndLine();
    merged.EndLine();
    return merged.Flush();
}

} // namespace

int main(int argc, char** argv) {
    platform::StartConsoleProgram(argc, argv);
    Options options;
    std::string message;
    const Parsed parsed = ParseArguments(argc, argv, options, message);
    // When the merged text goes to standard output, the banner must not mix with it.
    PrintBanner(parsed == Parsed::Usage || options.hasOutput ? stdout : stderr);
    if (parsed == Parsed::Usage) {
        PrintUsage();
        return 0;
    }
    if (parsed == Parsed::Error) {
        std::fputs(message.c_str(), stderr);
        return kFailure;
    }
    if (options.inputs.empty()) {
        std::fputs("No Input file specified\nUse /? or /h for help\n", stderr);
        return kFailure;
    }
    for (const std::string& input : options.inputs) {
        if (!Readable(input)) {
            std::fprintf(stderr, "Cannot open Input file '%s'\n", input.c_str());
            return kFailure;
        }
    }

    FilePtr outputFile;
    std::FILE* output = stdout;
    if (!options.hasOutput) {
        options.quiet = true;
        // The merged records are data: their line ends go out as they are.
        platform::UseForData(stdout);
    } else {
        for (const std::string& input : options.inputs) {
            if (platform::SameFile(input, options.output)) {
                std::fprintf(stderr, "Output file '%s' is also an Input file\n",
                             options.output.c_str());
                return kFailure;
            }
        }
        if (!options.allYes && WouldReplace(options.output) && !ConfirmOverwrite(options.output)) {
            if (!options.quiet) std::puts("User Break");
            return kFailure;
        }
        outputFile.reset(platform::OpenFile(options.output, "wb"));
        if (!outputFile) {
            std::fprintf(stderr, "Cannot open output file '%s'\n", options.output.c_str());
            return kFailure;
        }
        output = outputFile.get();
    }

    std::vector<std::vector<AddressRun>> runs(options.inputs.size());
    bool readFailed = false;
    bool written = MergeInputs(options, output, runs, readFailed);
    // The file is closed here and only here; its buffered bytes may fail to go out.
    if (outputFile) written = std::fclose(outputFile.release()) == 0 && written;
    if (!written) {
        std::fprintf(stderr, "Cannot write output file '%s'\n",
                     options.hasOutput ? options.output.c_str() : "standard output");
        return kFailure;
    }

    if (readFailed) return kFailure;
    WarnAboutConflicts(options, runs);
    if (!options.quiet) std::puts("\nAll hex file was merged successfully.");
    return 0;
}
