#pragma once
// Progress of a transfer of several files as one whole. The device library
// reports each file's bytes on their own; the meter works out which file is
// under way (a report that starts over, or whose total is another file's
// size, moves on) and adds up the bytes of the files before it. When copies
// are checked, each file is read back once copied: the read-back weighs as
// much as the copy, so that the bar and the time left cover both.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace player {

class TransferMeter {
public:
    struct File {
        std::string name;
        uint64_t size;
    };
    // Where the transfer stands after a report.
    struct Position {
        size_t index;   // the file under way, from 0
        uint64_t done;  // of the whole job, for the bar: bytes copied and checked
        uint64_t total;
        uint64_t bytes; // bytes of all files copied so far
        bool checking;  // the file under way is being read back
    };

    explicit TransferMeter(std::vector<File> files, bool checked = false);

    // A report of the library; checking: of the read-back of the file just
    // copied.
    Position Report(int64_t done, int64_t total, bool checking = false);
    // The last report was refused (the transfer is cancelled): the file it
    // finished, if any, is removed by the library and does not count.
    void Refused();
    // The device layer's count of files copied whole and checked: a file
    // whose last byte came but whose check then failed does not count.
    void Confirm(size_t copied);
    const std::vector<File>& Files() const { return files_; }
    // "File 2 of 3: song.mp3\n1.5 of 4.0 MB" (in KB below 1 MB): where the
    // transfer stands; "Checking file 2 of 3: ..." while it is read back.
    std::string Describe(const Position& position) const;
    // The files whose last byte the library reported, and their bytes.
    size_t Copied() const;
    uint64_t CopiedBytes() const;
    // What the status bar says when the transfer has ended: "3 files copied
    // (48 MB) in 3.2 s", "2 of 3 files copied (32 MB) in 2.0 s" after files
    // were skipped, "2 of 3 files copied; cancelled" or "...; failed".
    enum class Ending { kDone, kCancelled, kFailed };
    std::string Summary(Ending ending, double seconds) const;

private:
    std::vector<File> files_;
    std::vector<uint64_t> before_; // bytes of the files before each one
    uint64_t total_ = 0;
    bool checked_;
    size_t index_ = 0;
    int64_t lastDone_ = -1;
    std::vector<bool> copied_;
    std::optional<size_t> justFinished_; // the file the last report finished
    bool started_ = false;
};

} // namespace player
