#include "lib/lists/name_list.h"

#include <array>
#include <cwchar>
#include <string_view>
#include <cwctype>

namespace {

// The user's locale's lower case of each ASCII character, looked up once so
// that folding a plain name costs no call into the locale per character.
std::array<wchar_t, 128> AsciiLowerTable() {
    std::array<wchar_t, 128> table{};
    for (wint_t c = 0; c < 128; ++c)
        table[c] = static_cast<wchar_t>(std::towlower(c));
    return table;
}

// Folds UTF-8 text into a key: each character in lower case, ASCII as its
// byte, any other character as 0xFF and its code in three bytes; a malformed
// byte stands for itself beyond every character, so that such texts still
// compare byte for byte. Equal keys mean equal texts but for letter case.
void FoldInto(std::string_view text, const std::array<wchar_t, 128>& ascii, std::string& out) {
    out.clear();
    const auto putWide = [&out](uint32_t code) {
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
            return;
        }
        out.push_back(static_cast<char>(0xFF));
        out.push_back(static_cast<char>(code >> 16));
        out.push_back(static_cast<char>(code >> 8));
        out.push_back(static_cast<char>(code));
    };
    std::mbstate_t state{};
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte < 0x80) {
            putWide(static_cast<uint32_t>(ascii[byte]));
            ++p;
            --left;
            continue;
        }
        wchar_t wc = 0;
        const size_t n = std::mbrtowc(&wc, p, left, &state);
        if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) {
            putWide(byte | 0x110000u);
            state = {};
            ++p;
            --left;
        } else {
            putWide(static_cast<uint32_t>(std::towlower(static_cast<wint_t>(wc))));
            const size_t used = n == 0 ? 1 : n;
            p += used;
            left -= used;
        }
    }
}

// The file-name part of a path, without copying it.
std::string_view NamePart(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

HNameList::Position HNameList::Add(const char* name, int32_t value1, uint32_t value2,
                                   const char* second) {
    Entry entry;
    entry.value1 = value1;
    entry.value2 = value2;
    entry.name = name ? name : "";
    if (second) entry.second = second;
    entries_.push_back(std::move(entry));
    foldedValid_ = false;
    return std::prev(entries_.end());
}

bool HNameList::GetAt(ConstPosition pos, const char** name, int32_t* value1, uint32_t* value2,
                      const char** second) const {
    if (pos == entries_.end()) return false;
    if (name) *name = pos->name.c_str();
    if (value1) *value1 = pos->value1;
    if (value2) *value2 = pos->value2;
    if (second) *second = pos->second ? pos->second->c_str() : nullptr;
    return true;
}

bool HNameList::ContainsFileName(const char* path) const {
    if (!foldedValid_) {
        asciiFold_ = AsciiLowerTable();
        folded_.clear();
        folded_.reserve(entries_.size());
        for (const Entry& entry : entries_) {
            FoldInto(NamePart(entry.name), asciiFold_, scratch_);
            folded_.insert(scratch_);
        }
        foldedValid_ = true;
    }
    FoldInto(NamePart(path ? path : ""), asciiFold_, scratch_);
    return folded_.count(scratch_) > 0;
}

void HNameList::RemoveAt(Position pos) {
    if (pos == entries_.end()) return;
    entries_.erase(pos);
    foldedValid_ = false;
}

void HNameList::RemoveAll() {
    entries_.clear();
    foldedValid_ = false;
}

std::string FileNamePart(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FoldCase(const std::string& text) {
    std::string folded;
    FoldInto(text, AsciiLowerTable(), folded);
    return folded;
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    return a == b || FoldCase(a) == FoldCase(b);
}
