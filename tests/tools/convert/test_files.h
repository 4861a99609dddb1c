#pragma once
// Helpers of the converter tests: a scratch folder, whole-file reads and
// writes, running the programs, and the WAV fields the tests look at.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testfiles {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder removed again when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

private:
    std::filesystem::path dir_;
};

Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);

// Result of running a program: exit status and what it printed.
struct Run {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a program of the build with the arguments (each quoted for the shell).
Run RunProgram(const std::string& program, const std::vector<std::string>& args,
               const ScratchDir& dir);

// Runs a shell command; true when it exits with status 0.
bool Shell(const std::string& command);

// Whether sox can be run.
bool HaveSox();

std::uint32_t Le32(const Bytes& b, std::size_t at);
std::uint16_t Le16(const Bytes& b, std::size_t at);

// 16-bit samples of a byte range, little-endian.
std::vector<std::int16_t> Samples(const Bytes& b, std::size_t from);

} // namespace testfiles
