#pragma once
// Helpers shared by the device layer tests: a temporary settings home, a
// scripted message box and a few text helpers.
#include "base/platform/message_box.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <utility>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace devtest {

// A fresh folder under the temporary folder, removed at the end.
class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "sd_device_XXXXXX").string();
        if (!mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// One message box shown through platform::MessageBox.
struct ShownBox {
    void* owner;
    std::string text; // the main text
    std::string caption;
    unsigned style;
    std::string secondary; // the secondary text, if any
};

// Records every box and answers from a queue (then with the default answer).
class ScriptedBoxes {
public:
    explicit ScriptedBoxes(int defaultAnswer = platform::kIdYes) : default_(defaultAnswer) {
        old_ = platform::SetMessageBoxHandler([this](void* owner, const std::string& text,
                                                     const std::string& caption, unsigned style) {
            auto [main, secondary] = platform::SplitSecondaryText(text);
            shown.push_back({owner, std::move(main), caption, style, std::move(secondary)});
            // What happens while the question is open (its event loop runs).
            if (whileOpen) std::exchange(whileOpen, nullptr)();
            if (answers.empty()) return default_;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~ScriptedBoxes() { platform::SetMessageBoxHandler(old_); }
    ScriptedBoxes(const ScriptedBoxes&) = delete;
    ScriptedBoxes& operator=(const ScriptedBoxes&) = delete;

    std::deque<int> answers;
    std::vector<ShownBox> shown;
    // Runs once, while the next box is open, before it is answered.
    std::function<void()> whileOpen;

private:
    int default_;
    platform::MessageBoxHandler old_;
};

// Lines of a text.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The lines that start with prefix.
inline std::vector<std::string> Matching(const std::string& text, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : Lines(text))
        if (line.rfind(prefix, 0) == 0) found.push_back(line);
    return found;
}

inline void WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

} // namespace devtest
