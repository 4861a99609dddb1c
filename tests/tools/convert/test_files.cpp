#include "test_files.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <sys/wait.h>

namespace testfiles {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    std::random_device rd;
    dir_ =
        fs::temp_directory_path() / ("sd-convert-" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(dir_);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

namespace {

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string ReadText(const std::string& path) {
    const Bytes b = ReadBytes(path);
    return std::string(b.begin(), b.end());
}

} // namespace

Run RunProgram(const std::string& program, const std::vector<std::string>& args,
               const ScratchDir& dir) {
    std::string command = Quote(std::string(SD_BIN_DIR) + "/" + program);
    for (const std::string& a : args)
        command += " " + Quote(a);
    const std::string out = dir.Path(".stdout"), err = dir.Path(".stderr");
    command += " >" + Quote(out) + " 2>" + Quote(err);
    const int raw = std::system(command.c_str());
    Run run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadText(out);
    run.err = ReadText(err);
    return run;
}

bool Shell(const std::string& command) {
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
}

bool HaveSox() {
    return Shell("sox --version >/dev/null 2>&1");
}

std::uint32_t Le32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b.at(at)) | static_cast<std::uint32_t>(b.at(at + 1)) << 8 |
           static_cast<std::uint32_t>(b.at(at + 2)) << 16 |
           static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}

std::uint16_t Le16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8);
}

std::vector<std::int16_t> Samples(const Bytes& b, std::size_t from) {
    std::vector<std::int16_t> s;
    for (std::size_t i = from; i + 1 < b.size(); i += 2)
        s.push_back(static_cast<std::int16_t>(Le16(b, i)));
    return s;
}

} // namespace testfiles
