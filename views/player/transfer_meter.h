#pragma once
// Progress of a transfer of several files as one whole. The device library
// reports each file's bytes on their own; the meter works out which file is
// under way (a report that starts over, or whose total is another file's
// size, moves on) and adds up the bytes of the files before it.
#include <cstdint>
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
        size_t index;  // the file under way, from 0
        uint64_t done; // bytes of all files so far
        uint64_t total;
    };

    explicit TransferMeter(std::vector<File> files);

    Position Report(int64_t done, int64_t total);
    const std::vector<File>& Files() const { return files_; }
    // "song.mp3, file 2 of 3, 1.5 of 4.0 MB": where the transfer stands.
    std::string Describe(const Position& position) const;

private:
    std::vector<File> files_;
    std::vector<uint64_t> before_; // bytes of the files before each one
    uint64_t total_ = 0;
    size_t index_ = 0;
    int64_t lastDone_ = -1;
    bool started_ = false;
};

} // namespace player
