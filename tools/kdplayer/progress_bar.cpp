#include "tools/kdplayer/progress_bar.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kdplayer {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kRedraw{100};

std::string Size(double bytes) {
    char text[32];
    if (bytes < 1024.0 * 1024.0)
        std::snprintf(text, sizeof text, "%.0f KiB", bytes / 1024.0);
    else
        std::snprintf(text, sizeof text, "%.1f MiB", bytes / (1024.0 * 1024.0));
    return text;
}

int TerminalWidth() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 20) return size.ws_col;
    return 80;
}

} // namespace

bool StderrIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

ProgressBar::ProgressBar(bool enabled, int files, uint64_t bytes)
    : enabled_(enabled), files_(files), total_(bytes), start_(Clock::now()) {}

ProgressBar::~ProgressBar() {
    Clear();
}

void ProgressBar::StartFile(int index, const std::string& name, bool checking) {
    index_ = index;
    name_ = name;
    checking_ = checking;
    current_ = 0;
    Draw(true);
}

void ProgressBar::Checking() {
    checking_ = true;
    Draw(true);
}

void ProgressBar::Update(uint64_t fileDone) {
    // A check reads the file a second time: its bytes do not count twice.
    if (!checking_) current_ = fileDone;
    Draw(false);
}

void ProgressBar::FinishFile(uint64_t fileBytes) {
    before_ += fileBytes;
    current_ = 0;
    Draw(true);
}

void ProgressBar::Clear() {
    if (!enabled_ || !shown_) return;
    std::fprintf(stderr, "\r%*s\r", TerminalWidth() - 1, "");
    std::fflush(stderr);
    shown_ = false;
}

void ProgressBar::Draw(bool force) {
    if (!enabled_) return;
    const Clock::time_point now = Clock::now();
    if (!force && now - last_ < kRedraw) return;
    last_ = now;
    const uint64_t done = std::min(total_, before_ + current_);
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0.05 ? static_cast<double>(done) / seconds : 0.0;
    char left[32] = "--:--";
    if (rate > 0.0 && total_ >= done) {
        const long remaining = static_cast<long>(static_cast<double>(total_ - done) / rate);
        std::snprintf(left, sizeof left, "%ld:%02ld", remaining / 60, remaining % 60);
    }
    const int percent = total_ ? static_cast<int>(done * 100 / total_) : 100;
    char tail[160];
    std::snprintf(tail, sizeof tail, " %3d%% %d/%d files %s/%s %s/s %s left%s", percent,
                  std::min(index_, files_), files_, Size(static_cast<double>(done)).c_str(),
                  Size(static_cast<double>(total_)).c_str(), Size(rate).c_str(), left,
                  checking_ ? " (checking)" : "");
    const int width = TerminalWidth() - 1;
    const int barWidth = std::max(10, std::min(30, width - static_cast<int>(std::strlen(tail)) - 2));
    const int filled = barWidth * percent / 100;
    std::string line = "[" + std::string(filled, '#') + std::string(barWidth - filled, ' ') + "]";
    line += tail;
    if (static_cast<int>(line.size()) > width) line.resize(width);
    std::fprintf(stderr, "\r%-*s", width, line.c_str());
    std::fflush(stderr);
    shown_ = true;
}

} // namespace kdplayer
