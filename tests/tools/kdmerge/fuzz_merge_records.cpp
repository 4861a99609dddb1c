// Fuzz target: kdmerge's record reader and copier. The merged text must not
// depend on the reader's buffer size (refills, runs passed through, long
// lines), every line must end in CR LF, and an input compared with itself
// must show no conflicting data.
#include "tools/kdmerge/merge_output.h"
#include "tools/kdmerge/merge_records.h"
#include "tools/kdmerge/overlap_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Merged {
    std::string text;
    std::vector<AddressRun> runs;
};

Merged Merge(const uint8_t* data, std::size_t size, std::size_t bufferSize) {
    Merged merged;
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    if (!in || !out) std::abort();
    std::fwrite(data, 1, size, in);
    std::rewind(in);
    {
        MergeOutput output(out, 256);
        HexReader reader(in, bufferSize);
        MergeCopier copier(output, reader);
        ForEachMergeRecord(reader, copier);
        merged.runs = copier.Runs();
        output.Flush();
    }
    std::rewind(out);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;)
        merged.text.append(buffer, n);
    std::fclose(in);
    std::fclose(out);
    return merged;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const Merged small = Merge(data, size, 64);
    const Merged large = Merge(data, size, 1 << 16);
    if (small.text != large.text) std::abort();
    for (std::size_t i = 0; i < large.text.size(); ++i)
        if (large.text[i] == '\n' && (i == 0 || large.text[i - 1] != '\r')) std::abort();
    if (large.text.find("\r\r\n") != std::string::npos) std::abort();

    ConflictFinder finder(FindOverlaps({large.runs, large.runs}));
    for (unsigned input = 0; input < 2; ++input) {
        std::FILE* in = std::tmpfile();
        std::fwrite(data, 1, size, in);
        std::rewind(in);
        HexReader reader(in, 1 << 16);
        finder.BeginInput(input);
        ForEachMergeRecord(reader, finder);
        finder.EndInput();
        std::fclose(in);
    }
    if (!finder.Conflicts().empty()) std::abort();
    return 0;
}
