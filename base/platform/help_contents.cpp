#include "base/platform/help_contents.h"

#include "base/platform/folder_files.h"
#include "base/platform/help_text.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace platform {

namespace {

// The value of attribute name in tag (the text between '<' and '>'), or "".
std::string Attribute(std::string_view tag, std::string_view name) {
    const std::string lower = AsciiLower(tag);
    for (size_t at = lower.find(name); at != std::string::npos; at = lower.find(name, at + 1)) {
        if (at > 0 && !std::isspace(static_cast<unsigned char>(lower[at - 1]))) continue;
        size_t i = at + name.size();
        while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i])))
            ++i;
        if (i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i])))
            ++i;
        if (i >= tag.size()) return "";
        const char quote = tag[i];
        if (quote == '"' || quote == '\'') {
            const size_t end = tag.find(quote, i + 1);
            return DecodeEntities(tag.substr(
                i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1));
        }
        size_t end = i;
        while (end < tag.size() && !std::isspace(static_cast<unsigned char>(tag[end])))
            ++end;
        return DecodeEntities(tag.substr(i, end - i));
    }
    return "";
}

} // namespace

std::vector<HelpTopic> ParseHelpTopics(std::string_view text) {
    std::vector<HelpTopic> topics;
    int depth = -1; // inside the outer list: 0
    bool inObject = false;
    HelpTopic topic;
    for (size_t open = text.find('<'); open != std::string_view::npos;
         open = text.find('<', open + 1)) {
        const size_t close = text.find('>', open);
        if (close == std::string_view::npos) break;
        const std::string_view tag = text.substr(open + 1, close - open - 1);
        const std::string lower = AsciiLower(tag.substr(0, tag.find_first_of(" \t\r\n")));
        if (lower == "ul") {
            ++depth;
        } else if (lower == "/ul") {
            if (depth >= 0) --depth;
        } else if (lower == "object") {
            inObject = true;
            topic = HelpTopic{};
            topic.depth = depth < 0 ? 0 : depth;
        } else if (lower == "/object") {
            if (inObject && !topic.name.empty() && !topic.local.empty()) topics.push_back(topic);
            inObject = false;
        } else if (lower == "param" && inObject) {
            const std::string name = AsciiLower(Attribute(tag, "name"));
            if (name == "name" && topic.name.empty()) topic.name = Attribute(tag, "value");
            if (name == "local" && topic.local.empty()) topic.local = Attribute(tag, "value");
        }
        open = close;
    }
    return topics;
}

std::vector<HelpTopic> ReadHelpTopics(const std::string& path) {
    std::ifstream in(FsPath(path), std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return ParseHelpTopics(text.str());
}

} // namespace platform
