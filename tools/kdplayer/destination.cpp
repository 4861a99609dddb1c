#include "tools/kdplayer/destination.h"

#include "tools/kdplayer/exit_codes.h"
#include "tools/kdplayer/pc_output.h"
#include "tools/kdplayer/session.h"

namespace kdplayer {

int TakeDestination(const Options& options, std::vector<std::string>& words, size_t minWords,
                    bool allowStdout, Destination& destination) {
    if (!options.output.empty() && !options.targetDir.empty()) {
        Say(Formatted("give -o FILE for one file or -t DIR for a folder, not both"));
        return kExitUsage;
    }
    if (!options.output.empty()) {
        destination = {options.output, false, options.output == "-"};
        if (destination.standardOutput && !allowStdout) {
            Say(Formatted("this copy cannot go to standard output"));
            return kExitUsage;
        }
        if (!destination.standardOutput && IsFolder(options.output)) {
            Say(Formatted("'%s' is a folder: -t puts files into a folder", options.output));
            return kExitUsage;
        }
        return kExitOk;
    }
    if (!options.targetDir.empty()) {
        destination = {options.targetDir, true, false};
        if (!IsFolder(options.targetDir)) {
            Say(Formatted("'%s': no such folder", options.targetDir));
            return kExitNotFound;
        }
        return kExitOk;
    }
    destination = {};
    if (words.size() > minWords) {
        const std::string& last = words.back();
        if (allowStdout && last == "-") {
            destination = {last, false, true};
            words.pop_back();
        } else if (IsFolder(last)) {
            destination = {last, true, false};
            words.pop_back();
        }
    }
    return kExitOk;
}

} // namespace kdplayer
