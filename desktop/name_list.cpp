#include "desktop/name_list.h"

#include <cwchar>
#include <cwctype>

HNameList::Position HNameList::Add(const char* name, int32_t value1, int32_t value2,
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

bool HNameList::GetAt(ConstPosition pos, const char** name, int32_t* value1, int32_t* value2,
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
        folded_.clear();
        folded_.reserve(entries_.size());
        for (const Entry& entry : entries_)
            folded_.insert(FoldCase(FileNamePart(entry.name)));
        foldedValid_ = true;
    }
    return folded_.count(FoldCase(FileNamePart(path ? path : ""))) > 0;
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

namespace {

// Decodes UTF-8 into wide characters; a malformed byte stands for itself so
// that such texts still compare byte for byte.
std::wstring Widen(const std::string& text) {
    std::wstring out;
    std::mbstate_t state{};
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        wchar_t wc = 0;
        const size_t n = std::mbrtowc(&wc, p, left, &state);
        if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) {
            out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)) | 0x110000);
            state = {};
            ++p;
            --left;
        } else {
            const size_t used = n == 0 ? 1 : n;
            out.push_back(wc);
            p += used;
            left -= used;
        }
    }
    return out;
}

} // namespace

std::wstring FoldCase(const std::string& text) {
    std::wstring wide = Widen(text);
    for (wchar_t& c : wide)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return wide;
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    return a == b || FoldCase(a) == FoldCase(b);
}
