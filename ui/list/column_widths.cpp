#include "ui/list/column_widths.h"

#include <algorithm>

void HColumnWidths::Clear() {
    columns_.clear();
    measuredRows_ = 0;
    fillFirst_ = false;
    pending_ = false;
}

int HColumnWidths::Add(int stored, int defaultWidth) {
    Column column;
    column.fitted = stored <= 0;
    column.given = column.fitted ? defaultWidth : stored;
    if (columns_.empty()) fillFirst_ = column.fitted;
    columns_.push_back(column);
    return column.given;
}

int HColumnWidths::Given(int column) const {
    return column >= 0 && column < Count() ? columns_[size_t(column)].given : 0;
}

int HColumnWidths::Stored(int column) const {
    if (column < 0 || column >= Count()) return 0;
    const Column& c = columns_[size_t(column)];
    // The names fill the pane's room unless the person sized them.
    if (c.fitted || (column == 0 && fillFirst_)) return 0;
    return c.given;
}

bool HColumnWidths::IsFitted(int column) const {
    return column >= 0 && column < Count() && columns_[size_t(column)].fitted;
}

void HColumnWidths::NewListing(size_t rows) {
    if (rows == 0 || rows == measuredRows_) return;
    measuredRows_ = rows;
    for (Column& c : columns_)
        c.measured = false;
}

bool HColumnWidths::NeedsMeasuring(int column, bool haveRows) const {
    if (column < 0 || column >= Count()) return false;
    const Column& c = columns_[size_t(column)];
    if (!c.fitted && !(column == 0 && fillFirst_)) return false;
    return !c.measured || (haveRows && !c.fromRows);
}

void HColumnWidths::Measured(int column, std::vector<int> textWidths, int titleWidth,
                             bool fromRows) {
    if (column < 0 || column >= Count()) return;
    Column& c = columns_[size_t(column)];
    c.measured = true;
    c.fromRows = fromRows;
    c.title = titleWidth;
    const int claim =
        textWidths.empty() ? 0 : *std::max_element(textWidths.begin(), textWidths.end());
    c.text = std::max(claim, titleWidth);
}

void HColumnWidths::Give(int column, int width, int64_t now, std::vector<Change>& changes) {
    Column& c = columns_[size_t(column)];
    if (c.given == width) return;
    c.given = width;
    pending_ = true;
    givenAt_ = now;
    changes.push_back({column, width});
}

void HColumnWidths::FitFirst(int available, int defaultWidth, int64_t now,
                             std::vector<Change>& changes) {
    if (!fillFirst_ || columns_.empty()) return;
    int left = available;
    for (int c = 1; c < Count(); ++c)
        left -= columns_[size_t(c)].given;
    Give(0, std::max(left, NamesFloor(defaultWidth)), now, changes);
}

int HColumnWidths::NamesFloor(int defaultWidth) const {
    // The title and a few letters beside the icon; below that the list
    // scrolls sideways rather than cut the other columns.
    const int title = columns_.empty() ? 0 : columns_[0].title;
    return title > 0 ? std::min(title, defaultWidth) : defaultWidth;
}

std::vector<HColumnWidths::Change> HColumnWidths::Fit(int available, int defaultWidth,
                                                      int64_t now) {
    std::vector<Change> changes;
    const int count = Count();
    if (count == 0) return changes;
    // Names that fill the room give way first: the other columns are cut
    // only when the names are down to their least.
    const int names = fillFirst_ ? NamesFloor(defaultWidth) : columns_[0].given;
    int excess = names - available;
    std::vector<int> wanted(size_t(count), 0);
    for (int c = 1; c < count; ++c) {
        const Column& column = columns_[size_t(c)];
        wanted[size_t(c)] = column.fitted && column.measured ? column.text : column.given;
        excess += wanted[size_t(c)];
    }
    // From the last column on, fitted columns of long texts give back; short
    // ones (a date with its time, say) stay whole.
    for (int c = count - 1; c >= 1 && excess > 0; --c) {
        const Column& column = columns_[size_t(c)];
        int& width = wanted[size_t(c)];
        if (!column.fitted || width <= column.title || width <= defaultWidth) continue;
        const int give = std::min(excess, width - column.title);
        width -= give;
        excess -= give;
    }
    for (int c = 1; c < count; ++c)
        if (columns_[size_t(c)].fitted) Give(c, wanted[size_t(c)], now, changes);
    FitFirst(available, defaultWidth, now, changes);
    return changes;
}

std::vector<HColumnWidths::Change> HColumnWidths::SetByHand(int column, int width, int available,
                                                            int defaultWidth, int64_t now) {
    std::vector<Change> changes;
    if (column < 0 || column >= Count() || width <= 0) return changes;
    Column& c = columns_[size_t(column)];
    c.fitted = false;
    if (column == 0) fillFirst_ = false;
    // Told to the table even when unchanged: the person's width may differ.
    c.given = width;
    pending_ = true;
    givenAt_ = now;
    changes.push_back({column, width});
    FitFirst(available, defaultWidth, now, changes);
    return changes;
}

bool HColumnWidths::Watching() const {
    if (pending_ || fillFirst_) return true;
    return std::any_of(columns_.begin(), columns_.end(), [](const Column& c) { return c.fitted; });
}

void HColumnWidths::Watch(const std::vector<int>& shown, int64_t now) {
    const int count = std::min(Count(), static_cast<int>(shown.size()));
    std::vector<int> resized;
    for (int c = 0; c + 1 < count; ++c)
        if (shown[size_t(c)] != columns_[size_t(c)].given) resized.push_back(c);
    if (resized.empty()) {
        pending_ = false;
        return;
    }
    // The table lays new widths out at its own pace: it is given a moment.
    if (pending_ && now - givenAt_ < kLayoutMs) return;
    pending_ = false;
    for (int c : resized) {
        Column& column = columns_[size_t(c)];
        column.given = shown[size_t(c)];
        column.fitted = false;
        if (c == 0) fillFirst_ = false;
    }
}

int HColumnWidths::Reported(int column, int shown) const {
    if (column < 0 || column >= Count()) return 0;
    return !pending_ && column + 1 < Count() && shown > 0 ? shown : columns_[size_t(column)].given;
}
