#include "lib/lists/file_rows.h"

#include <cstring>
#include <numeric>

int CompareNames(const std::string& a, const std::string& b) {
    if (const int c = std::strcoll(a.c_str(), b.c_str())) return c < 0 ? -1 : 1;
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
