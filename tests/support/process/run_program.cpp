#include "run_program.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

namespace sdtest {

namespace {

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

std::string ShellQuote(const std::string& text) {
    std::string q = "'";
    for (char c : text)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

bool Shell(const std::string& command) {
    const int raw = std::system(command.c_str());
    return raw != -1 && WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
}

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& folder, const std::string& input,
                      const std::vector<std::string>& environment) {
    // The captures go to a folder of this run's own, so that runs in the
    // same folder at the same time (tests in parallel) keep apart.
    std::string captures = (std::filesystem::temp_directory_path() / "sdrun-XXXXXX").string();
    if (!mkdtemp(captures.data())) return {-1, "", "cannot make a folder for the captures\n"};
    const std::string in = captures + "/in", out = captures + "/out", err = captures + "/err";
    WriteText(in, input);
    // Appended piece by piece: each word quoted, after its separator.
    std::string command;
    const auto add = [&command](const char* separator, const std::string& word) {
        command += separator;
        command += ShellQuote(word);
    };
    add("cd ", folder);
    command += " && env";
    for (const std::string& e : environment)
        add(" ", e);
    add(" ", program);
    for (const std::string& a : args)
        add(" ", a);
    add(" <", in);
    add(" >", out);
    add(" 2>", err);
    const int raw = std::system(command.c_str());
    ProgramRun run;
    run.status = (raw != -1 && WIFEXITED(raw)) ? WEXITSTATUS(raw) : -1;
    run.out = ReadText(out);
    run.err = ReadText(err);
    std::error_code ignored;
    std::filesystem::remove_all(captures, ignored);
    return run;
}

} // namespace sdtest
