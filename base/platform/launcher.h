#pragma once
// Starting other programs: a file with its default application, or a
// program with one argument. Behind a replaceable launcher so that tests can
// record what would be started.
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// Starts programs for the windows.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Opens the file with the desktop's default application; false when
    // nothing could be started.
    virtual bool OpenWithDefaultApplication(const std::string& path) = 0;
    // Starts the program with exactly one argument (passed as one word,
    // blanks and all); false when it could not be started.
    virtual bool RunProgram(const std::string& program, const std::string& argument) = 0;
};

// The launcher in use. Without an installed one, nothing is started and
// every call reports failure.
Launcher& CurrentLauncher();
// Installs a launcher (nullptr restores the default); returns the old one.
std::unique_ptr<Launcher> SetLauncher(std::unique_ptr<Launcher> launcher);

// A launcher for tests: records every request and answers with a fixed result.
class RecordingLauncher : public Launcher {
public:
    explicit RecordingLauncher(bool result = true) : result_(result) {}
    bool OpenWithDefaultApplication(const std::string& path) override {
        opened.push_back(path);
        return result_;
    }
    bool RunProgram(const std::string& program, const std::string& argument) override {
        runs.emplace_back(program, argument);
        return result_;
    }
    std::vector<std::string> opened;
    std::vector<std::pair<std::string, std::string>> runs;

private:
    bool result_;
};

// Whether a program can be started: an executable file given by path, or a
// name found in $PATH. Gives the full path in `found`.
bool FindProgram(const std::string& program, std::string& found);

} // namespace platform
