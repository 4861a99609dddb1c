#include "tools/kdplayer/progress_bar.h"

#include "base/platform/console.h"
#include "base/resources/strings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

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

// Columns a character takes on a terminal: 2 for the wide East Asian
// ranges and emoji, 0 for combining marks, else 1.
int CharColumns(uint32_t c) {
    if ((c >= 0x300 && c <= 0x36F) || (c >= 0x200B && c <= 0x200F) || c == 0xFE0F) return 0;
    if ((c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
        (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
        (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
        (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) ||
        (c >= 0x20000 && c <= 0x3FFFD))
        return 2;
    return 1;
}

// The characters of UTF-8 text with their columns; a control character
// (which would move the cursor or worse) or a byte that is no UTF-8 shows
// as "?".
std::vector<std::pair<std::string, int>> Characters(const std::string& text) {
    std::vector<std::pair<std::string, int>> out;
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        uint32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        bool valid = length > 0 && at + length <= text.size();
        for (size_t i = 1; valid && i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid || code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0)) {
            out.emplace_back("?", 1);
            at += valid ? length : 1;
            continue;
        }
        out.emplace_back(text.substr(at, length), CharColumns(code));
        at += length;
    }
    return out;
}

int Columns(const std::string& text) {
    int total = 0;
    for (const auto& character : Characters(text))
        total += character.second;
    return total;
}

// text in at most columns columns: whole, or "..." and its end (where a
// file name's distinguishing part and type usually are).
std::string FitColumns(const std::string& text, int columns) {
    const auto characters = Characters(text);
    std::string out;
    if (Columns(text) <= columns) {
        for (const auto& character : characters)
            out += character.first;
        return out;
    }
    int used = 3;
    size_t from = characters.size();
    while (from > 0 && used + characters[from - 1].second <= columns)
        used += characters[--from].second;
    out = "...";
    for (size_t i = from; i < characters.size(); ++i)
        out += characters[i].first;
    return out;
}

int TerminalWidth() {
    const int columns = platform::TerminalColumns(stderr);
    return columns > 20 ? columns : 80;
}

} // namespace

bool StderrIsTerminal() {
    return platform::IsTerminal(stderr);
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
    std::snprintf(tail, sizeof tail, strings::Tr(" %3d%% %d/%d files %s/%s %s/s %s left%s"),
                  percent, std::min(index_, files_), files_,
                  Size(static_cast<double>(done)).c_str(),
                  Size(static_cast<double>(total_)).c_str(), Size(rate).c_str(), left,
                  checking_ ? strings::Tr(" (checking)") : "");
    // The bar, the figures, then the file's name in what room is left.
    const int width = TerminalWidth() - 1;
    const int tailWidth = static_cast<int>(std::strlen(tail));
    const int barWidth = std::max(10, std::min(30, width - tailWidth - 2 - 24));
    const int filled = barWidth * percent / 100;
    std::string line = "[";
    line.append(static_cast<size_t>(filled), '#');
    line.append(static_cast<size_t>(barWidth - filled), ' ');
    line += ']';
    line += tail;
    if (static_cast<int>(line.size()) > width) line.resize(static_cast<size_t>(width));
    // Padded to the width, so that a shorter line covers the one before.
    int used = static_cast<int>(line.size());
    const int nameRoom = width - used - 2;
    if (nameRoom >= 4 && !name_.empty()) {
        const std::string name = FitColumns(name_, nameRoom);
        line += "  ";
        line += name;
        used += 2 + Columns(name);
    }
    line.append(static_cast<size_t>(std::max(0, width - used)), ' ');
    std::fputs("\r", stderr);
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    shown_ = true;
}

} // namespace kdplayer
