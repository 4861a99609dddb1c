#include "lib/lists/file_rows.h"

// Windows has no langinfo: the collation is then told by the locale's name.
#if __has_include(<langinfo.h>)
#include <langinfo.h>
#endif

#include <clocale>
#include <cstdint>
#include <cstring>
#include <cwctype>
#include <string_view>
#include <numeric>

namespace {

// The next character of a name: a code point where the bytes are UTF-8, a
// byte of its own (above every code point) where they are not.
char32_t NextCharacter(const std::string& s, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = lead < 0x80                   ? 1
                         : lead >= 0xC2 && lead < 0xE0 ? 2
                         : lead >= 0xE0 && lead < 0xF0 ? 3
                         : lead >= 0xF0 && lead < 0xF5 ? 4
                                                       : 0;
    char32_t c = length == 1   ? lead
                 : length == 2 ? lead & 0x1F
                 : length == 3 ? lead & 0x0F
                               : lead & 0x07;
    for (std::size_t k = 1; k < length; ++k) {
        if (i + k >= s.size() || (byte(i + k) & 0xC0) != 0x80) {
            length = 0;
            break;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (length == 0 || overlong || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
        ++i;
        return 0x110000 + lead;
    }
    i += length;
    return c;
}

char32_t Lower(char32_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    return c < 0x110000 ? static_cast<char32_t>(std::towlower(static_cast<wint_t>(c))) : c;
}

// Without a collation of its own (the C, POSIX and C.<charset> locales),
// names compare character by character: first without letter case, then
// at the first difference in case alone, the small letter first.
int CompareByCharacters(const std::string& a, const std::string& b) {
    int caseOrder = 0;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        char32_t ca = static_cast<unsigned char>(a[i]);
        char32_t cb = static_cast<unsigned char>(b[j]);
        if ((ca | cb) < 0x80) { // ASCII on both sides, by far the most common
            ++i;
            ++j;
        } else {
            ca = NextCharacter(a, i);
            cb = NextCharacter(b, j);
        }
        if (ca == cb) continue;
        const char32_t la = Lower(ca);
        const char32_t lb = Lower(cb);
        if (la != lb) return la < lb ? -1 : 1;
        if (caseOrder == 0) caseOrder = ca == la ? -1 : cb == lb ? 1 : ca < cb ? -1 : 1;
    }
    if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
    return caseOrder;
}

// Whether the locale has collation rules of its own; the C locales have
// none and collate bytes. Asked on every comparison (the locale may change),
// so it must be cheap: glibc answers without a lock.
bool LocaleCollates() {
#ifdef _NL_COLLATE_NRULES
    return reinterpret_cast<std::uintptr_t>(nl_langinfo(_NL_COLLATE_NRULES)) != 0;
#else
    const char* name = std::setlocale(LC_COLLATE, nullptr);
    if (!name) return false;
    const std::string_view n(name);
    return !(n == "C" || n == "POSIX" || n.starts_with("C."));
#endif
}

} // namespace

int CompareNames(const std::string& a, const std::string& b) {
    // A locale's collation already orders names without case first, small
    // letters before capitals at a tie; the C locales order bytes, so there
    // the comparison is done here.
    if (LocaleCollates()) {
        if (const int c = std::strcoll(a.c_str(), b.c_str())) return c < 0 ? -1 : 1;
    } else if (const int c = CompareByCharacters(a, b)) {
        return c;
    }
    const int c = a.compare(b);
    return (c > 0) - (c < 0);
}

void HRowOrder::Reset(size_t count) {
    order_.resize(count);
    std::iota(order_.begin(), order_.end(), 0u);
    dataCount_ = count;
    Changed();
}

void HRowOrder::Assign(std::vector<uint32_t> indices) {
    order_ = std::move(indices);
    dataCount_ = order_.empty() ? 0 : *std::max_element(order_.begin(), order_.end()) + size_t{1};
    Changed();
}

long HRowOrder::RowOf(uint32_t data) const {
    if (data >= dataCount_) return -1;
    if (rowOf_.empty() && !order_.empty()) {
        rowOf_.assign(dataCount_, -1);
        for (size_t row = 0; row < order_.size(); ++row)
            rowOf_[order_[row]] = static_cast<int32_t>(row);
    }
    return rowOf_.empty() ? -1 : rowOf_[data];
}

void HRowOrder::Reverse() {
    std::reverse(order_.begin(), order_.end());
    Changed();
}

std::vector<bool> HRowOrder::MarkData(const std::vector<long>& rows) const {
    std::vector<bool> marks(dataCount_, false);
    for (long row : rows)
        if (row >= 0 && static_cast<size_t>(row) < order_.size()) marks[order_[row]] = true;
    return marks;
}

std::vector<long> HRowOrder::RowsMarked(const std::vector<bool>& marks) const {
    std::vector<long> rows;
    for (size_t row = 0; row < order_.size(); ++row)
        if (order_[row] < marks.size() && marks[order_[row]])
            rows.push_back(static_cast<long>(row));
    return rows;
}
