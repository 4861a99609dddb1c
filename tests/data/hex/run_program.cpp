#include "run_program.h"

#include "hex_text.h"

#include <cstdlib>
#include <sys/wait.h>

namespace hexgen {

namespace {
std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
} // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& folder, const std::string& input,
                      const std::vector<std::string>& environment) {
    const std::string in = folder + "/.run_in", out = folder + "/.run_out",
                      err = folder + "/.run_err";
    WriteText(in, input);
    std::string command = "cd " + Quote(folder) + " && env";
    for (const std::string& e : environment)
        command += " " + Quote(e);
    command += " " + Quote(program);
    for (const std::string& a : args)
        command += " " + Quote(a);
    command += " <" + Quote(in) + " >" + Quote(out) + " 2>" + Quote(err);
    const int raw = std::system(command.c_str());
    ProgramRun run;
    run.status = (raw != -1 && WIFEXITED(raw)) ? WEXITSTATUS(raw) : -1;
    run.out = ReadText(out);
    run.err = ReadText(err);
    return run;
}

} // namespace hexgen
