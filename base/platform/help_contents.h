#pragma once
// The help's contents and index: the topic lists of the help project
// (toc.hhc, index.hhk), each topic a name and the page it opens.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct HelpTopic {
    std::string name;  // as shown in the list
    std::string local; // the page, with its anchor if any ("panes.html#properties")
    int depth = 0;     // 0 for a top-level topic, 1 under it, and so on
};

// The topics of a contents or index file's text, in their order. Entries
// without a name or a page are left out.
std::vector<HelpTopic> ParseHelpTopics(std::string_view text);

// ParseHelpTopics of the file at path; empty when it cannot be read.
std::vector<HelpTopic> ReadHelpTopics(const std::string& path);

} // namespace platform
