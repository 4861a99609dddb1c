#pragma once
// Searching the help: the pages whose text holds every word asked for.
#include <string>
#include <vector>

namespace platform {

struct HelpHit {
    std::string page;  // file name in the help folder ("transfers.html")
    std::string title; // the page's title, else its file name
};

// The pages among `pages` (file names in folder, in the order to list them)
// whose text holds every word of `words`, ignoring the case of ASCII
// letters. Each page is read in `language` where folder has it (see
// LocalizedHelpFile). A page that cannot be read is left out; no words find
// nothing.
std::vector<HelpHit> SearchHelp(const std::string& folder, const std::string& language,
                                const std::vector<std::string>& pages, const std::string& words);

} // namespace platform
