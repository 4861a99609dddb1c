#pragma once
// Runs a console program of the kit for tests and collects what it printed.
#include <string>
#include <vector>

namespace hexgen {

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

} // namespace hexgen
