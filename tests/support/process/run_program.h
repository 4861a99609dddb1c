#pragma once
// Runs programs of the kit for tests and collects what they printed.
#include <string>
#include <vector>

namespace sdtest {

struct ProgramRun {
    int status = -1; // exit status (0-255), or -1 when it did not exit normally
    std::string out; // standard output
    std::string err; // standard error
};

// Runs program with args in folder, feeding input on standard input;
// environment holds "NAME=value" settings added for this run.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& folder, const std::string& input = "",
                      const std::vector<std::string>& environment = {});

// The text quoted for the shell, as one word.
std::string ShellQuote(const std::string& text);

// Runs a shell command; true when it exits with status 0.
bool Shell(const std::string& command);

} // namespace sdtest
