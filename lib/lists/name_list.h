#pragma once
// HNameList: the names that travel from a source pane to a target pane in
// one transfer, each with two numbers and an optional second text.
#include <array>
#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <unordered_set>

class HNameList {
public:
    struct Entry {
        int32_t value1 = 0;
        uint32_t value2 = 0; // a size in bytes: unsigned, files reach 4 GiB - 1
        std::string name;
        std::optional<std::string> second;
    };
    using Position = std::list<Entry>::iterator;
    using ConstPosition = std::list<Entry>::const_iterator;

    HNameList() = default;
    HNameList(const HNameList&) = delete;
    HNameList& operator=(const HNameList&) = delete;
    virtual ~HNameList() { RemoveAll(); }

    // Appends an entry; a null name is stored as an empty one.
    virtual Position Add(const char* name, int32_t value1, uint32_t value2,
                         const char* second = nullptr);
    // Fills each output that is not null; false when pos holds no entry.
    // The texts stay valid until their own entry is removed.
    virtual bool GetAt(ConstPosition pos, const char** name, int32_t* value1, uint32_t* value2,
                       const char** second) const;
    // Whether some entry's file-name part equals that of path, ignoring case
    // by the user's locale. The file-name part follows the last '/' or '\\'.
    // The entries' names are folded once, so that asking for every row of a
    // long list stays quick.
    virtual bool ContainsFileName(const char* path) const;
    virtual void RemoveAt(Position pos);
    virtual void RemoveAll();

    Position GetHeadPosition() { return entries_.begin(); }
    ConstPosition GetHeadPosition() const { return entries_.begin(); }
    ConstPosition End() const { return entries_.end(); }
    size_t GetCount() const { return entries_.size(); }
    bool IsEmpty() const { return entries_.empty(); }

    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    std::list<Entry> entries_;
    // The entries' file-name parts, case-folded; built on first use.
    mutable std::unordered_set<std::string> folded_;
    mutable bool foldedValid_ = false;
    mutable std::array<wchar_t, 128> asciiFold_{}; // lower case of ASCII, by locale
    mutable std::string scratch_;                  // the name being looked up
};

// The part of a path after its last '/' or '\\' (the whole path without one).
std::string FileNamePart(const std::string& path);
// Case-insensitive equality of two UTF-8 texts under the user's locale.
bool SameTextIgnoringCase(const std::string& a, const std::string& b);
// A key for a text in which letter case no longer counts, under the user's
// locale: equal for two texts exactly when SameTextIgnoringCase holds. A
// byte that is not valid UTF-8 stands for itself.
std::string FoldCase(const std::string& text);
