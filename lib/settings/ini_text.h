#pragma once
// The settings file's INI text, read and changed in place: groups in
// brackets, "key=value" entries, comments and blank lines kept where they
// are. Names may escape a character with a backslash; a value that begins
// with a blank or a quote is quoted, and newlines, tabs, backslashes and
// (in quoted values) quotes are escaped. Files written by earlier versions
// read the same, and this writes them as those versions did.
//
// Values are bytes: a byte that is not UTF-8 is kept as it is. Earlier
// versions carried such bytes as the characters U+100000 to U+1000FF, so
// those characters read back as the bytes they stood for.
#include <list>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace settings {

class IniText {
public:
    // lines: each ended by '\n' (as ReadableProfileLines gives them).
    explicit IniText(std::string_view lines);
    // Its positions point into its own lines: it moves, but is not copied.
    IniText(const IniText&) = delete;
    IniText& operator=(const IniText&) = delete;
    IniText(IniText&&) = default;
    IniText& operator=(IniText&&) = default;

    // The value of key in group ("" = the entries before the first group).
    std::optional<std::string> Read(const std::string& group, const std::string& key) const;
    // Sets the value, adding the group and the entry where they are missing.
    void Write(const std::string& group, const std::string& key, std::string_view value);
    // The whole text, each line ended by '\n'.
    std::string Text() const;

private:
    using Line = std::list<std::string>::iterator;
    struct Group {
        std::optional<Line> header; // none for the root group
        std::optional<Line> last;   // its last entry line, if any
        std::map<std::string, std::pair<Line, std::string>> entries;
    };
    // The line after which a new entry of group goes (none = the top).
    std::optional<Line> EntryPlace(const Group& group) const;
    Group& AddGroup(const std::string& name);

    std::list<std::string> lines_;
    std::map<std::string, Group> groups_;
    std::string lastGroup_; // the group declared last, where new groups follow
};

} // namespace settings
