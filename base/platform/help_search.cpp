#include "base/platform/help_search.h"

#include "base/platform/folder_files.h"
#include "base/platform/help_language.h"
#include "base/platform/help_text.h"

#include <fstream>
#include <sstream>

namespace platform {

namespace {

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(AsciiLower(text));
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

} // namespace

std::vector<HelpHit> SearchHelp(const std::string& folder, const std::string& language,
                                const std::vector<std::string>& pages, const std::string& words) {
    const std::vector<std::string> wanted = Words(words);
    std::vector<HelpHit> hits;
    if (wanted.empty()) return hits;
    for (const std::string& page : pages) {
        std::ifstream in(FsPath(LocalizedHelpFile(folder, language, page)), std::ios::binary);
        if (!in) continue;
        std::ostringstream html;
        html << in.rdbuf();
        const std::string text = AsciiLower(HelpPageText(html.str()));
        bool all = true;
        for (const std::string& word : wanted)
            if (text.find(word) == std::string::npos) {
                all = false;
                break;
            }
        if (!all) continue;
        std::string title = HelpPageTitle(html.str());
        hits.push_back({page, title.empty() ? page : title});
    }
    return hits;
}

} // namespace platform
