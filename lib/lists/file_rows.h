#pragma once
// The display order of a file list over rows that its pane holds. Window-free,
// so that sorting and keeping the selection across a sort are tested without
// a display.
//
// A pane keeps its rows in a std::vector of its own row type, names as bytes.
// The list shows them through an HRowOrder, which maps each display row to
// the row's index in that vector, its data index. Sorting reorders the
// indices only: a row keeps its data index for as long as the vector stays
// unchanged, so data indices are what a pane keeps across a sort (selection,
// focus) and what it reads back from the list.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// Three-way comparison of two names or texts as the lists sort them: without
// letter case first, then with it (small letters first), by the user's
// locale (strcoll) where it has a collation and by characters in the C
// locales; texts that still compare equal are ordered by their bytes, so
// that only equal texts compare equal.
int CompareNames(const std::string& a, const std::string& b);

// Three-way comparison of two numbers.
template <class T> constexpr int CompareValues(const T& a, const T& b) {
    return (b < a) - (a < b);
}

class HRowOrder {
public:
    // Shows count rows in vector order (data indices 0 .. count-1).
    void Reset(size_t count);
    // Shows the given data indices, in this order (a filtered view).
    void Assign(std::vector<uint32_t> indices);

    size_t size() const { return order_.size(); }
    bool empty() const { return order_.empty(); }
    // One more than the largest data index the order was made for.
    size_t DataCount() const { return dataCount_; }
    // The data index shown at a display row (row < size()).
    uint32_t DataAt(size_t row) const { return order_[row]; }
    // The display row of a data index, or -1 when it is not shown.
    long RowOf(uint32_t data) const;
    const std::vector<uint32_t>& Indices() const { return order_; }

    // Sorts by compare(a, b), a three-way comparison of two data indices
    // (negative when a comes first in ascending order); ties go by data
    // index. Descending negates every comparison, ties included, so it is
    // exactly the ascending order reversed.
    template <class Compare> void Sort(Compare compare, bool ascending);
    // Reverses the display order.
    void Reverse();

    // One flag per data index, set for the data shown at the given display
    // rows: taken before a reorder, so that RowsMarked finds those rows again.
    std::vector<bool> MarkData(const std::vector<long>& rows) const;
    // The display rows, ascending, whose data index is marked (one pass).
    std::vector<long> RowsMarked(const std::vector<bool>& marks) const;

private:
    void Changed() { rowOf_.clear(); }

    std::vector<uint32_t> order_;
    size_t dataCount_ = 0;               // one more than the largest data index
    mutable std::vector<int32_t> rowOf_; // inverse of order_, built on first use
};

// Sorts order over rows by one column's comparison of two rows, ending on the
// rows' names (Row::name) when the column ties, so that the order is total
// and stays put across re-lists.
template <class Row, class Compare>
void SortRowsBy(HRowOrder& order, const std::vector<Row>& rows, Compare column, bool ascending) {
    order.Sort(
        [&](uint32_t a, uint32_t b) {
            const Row& ra = rows[a];
            const Row& rb = rows[b];
            if (const int c = column(ra, rb)) return c;
            return CompareNames(ra.name, rb.name);
        },
        ascending);
}

template <class Compare> void HRowOrder::Sort(Compare compare, bool ascending) {
    std::sort(order_.begin(), order_.end(), [&](uint32_t a, uint32_t b) {
        int c = compare(a, b);
        if (c == 0) c = CompareValues(a, b);
        return ascending ? c < 0 : c > 0;
    });
    Changed();
}
