#pragma once
// The progress bar of a command's copies on standard error: files, bytes,
// rate and time left, redrawn in place at most a few times a second. Shown
// only while standard error is a terminal and not with -q.
#include <chrono>
#include <cstdint>
#include <string>

namespace kdplayer {

class ProgressBar {
public:
    ProgressBar(bool enabled, int files, uint64_t bytes);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // A new file begins (1-based index), whose bytes count from 0; checking
    // tells that the copy is being read back.
    void StartFile(int index, const std::string& name, bool checking = false);
    // The current file is being read back to be checked.
    void Checking();
    // Bytes of the current file done so far.
    void Update(uint64_t fileDone);
    // The current file is done (its bytes all count).
    void FinishFile(uint64_t fileBytes);
    // Clears the bar, so that a message can follow on a clean line.
    void Clear();
    // Whether the current file is being read back.
    bool IsChecking() const { return checking_; }

private:
    void Draw(bool force);

    bool enabled_;
    int files_;
    uint64_t total_;
    uint64_t before_ = 0; // bytes of finished files
    uint64_t current_ = 0;
    int index_ = 0;
    std::string name_;
    bool checking_ = false;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_;
};

// Whether standard error is a terminal.
bool StderrIsTerminal();

} // namespace kdplayer
