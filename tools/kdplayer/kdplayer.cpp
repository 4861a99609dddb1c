// kdplayer: the player from the command line, one command per call.
#include "tools/kdplayer/commands.h"
#include "tools/kdplayer/exit_codes.h"
#include "tools/kdplayer/interrupt.h"
#include "tools/kdplayer/options.h"
#include "tools/kdplayer/session.h"

#include <cstdio>
#include <string>

using namespace kdplayer;

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return kExitUsage;
    if (options.help) {
        std::fputs(UsageText(), stdout);
        return kExitOk;
    }
    if (options.version) {
        std::fputs(VersionText().c_str(), stdout);
        return kExitOk;
    }
    if (options.command.empty()) {
        Say("no command given");
        std::fputs("Try 'kdplayer --help'.\n", stderr);
        return kExitUsage;
    }
    CatchInterrupts();
    const std::string& c = options.command;
    if (c == "info") {
        if (!options.words.empty()) {
            Say("info takes no arguments");
            return kExitUsage;
        }
        return RunInfo(options);
    }
    if (c == "ls") return RunList(options);
    if (c == "get") return RunGet(options);
    if (c == "put") return RunPut(options);
    if (c == "rm") return RunRemove(options);
    if (c == "mv") return RunRename(options);
    if (c == "up") return RunMove(options, true);
    if (c == "down") return RunMove(options, false);
    if (c == "format") return RunFormat(options);
    if (c == "font") return RunFont(options);
    if (c == "raw") return RunRaw(options);
    if (c == "backup") return RunBackup(options);
    if (c == "restore") return RunRestore(options);
    if (c == "sync") return RunSync(options);
    Say("unknown command '" + c + "'");
    std::fputs("Try 'kdplayer --help'.\n", stderr);
    return kExitUsage;
}
