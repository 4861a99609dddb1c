// kdplayer: the player from the command line, one command per call.
#include "tools/kdplayer/exit_codes.h"
#include "tools/kdplayer/interrupt.h"
#include "tools/kdplayer/json_writer.h"
#include "tools/kdplayer/options.h"
#include "tools/kdplayer/session.h"
#include "base/platform/console.h"
#include "base/platform/console_catalogue.h"
#include "base/resources/strings.h"

#include <cstdio>
#include <string>

using namespace kdplayer;

namespace {

int Run(int argc, char** argv, Options& options) {
    if (const int status = ParseOptions(argc, argv, options)) return status;
    const Command* command = EntryFor(options.command, options.words);
    if (options.help) {
        std::fputs(command ? CommandUsageText(*command).c_str() : UsageText().c_str(), stdout);
        return kExitOk;
    }
    if (options.version) {
        std::fputs(VersionText().c_str(), stdout);
        return kExitOk;
    }
    if (options.command.empty()) {
        Say(Formatted("no command given"));
        std::fputs(strings::Tr("Try 'kdplayer --help'.\n"), stderr);
        return kExitUsage;
    }
    if (!command) {
        Say(Formatted("unknown command '%s'", options.command));
        std::fputs(strings::Tr("Try 'kdplayer --help'.\n"), stderr);
        return kExitUsage;
    }
    CatchInterrupts();
    return command->run(options);
}

} // namespace

int main(int argc, char** argv) {
    platform::StartConsoleProgram(argc, argv);
    platform::UseKitCatalogue();
    Options options;
    const int status = Run(argc, argv, options);
    // A script that asked for JSON gets a document for a failure as well.
    if (status != kExitOk && options.json && !JsonPrinted()) {
        JsonWriter json;
        json.BeginObject().Key("error");
        ErrorJson(json, SaidMessages(), status);
        PrintJson(json.EndObject());
    }
    return status;
}
