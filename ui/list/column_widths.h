#pragma once
// HColumnWidths: how the file list's columns share the list's width, apart
// from the toolkit, so that the rules hold without a display.
//
// A column has either a width the person set (stored, given by a caller or
// dragged in the header) or a fitted one. A fitted column follows its texts,
// measured on the first rows of a listing; a fitted names column (the first)
// takes the room the others leave. Only widths the person set are stored:
// a fitted width depends on the listing and the pane, and kept would cut
// every later listing to the first one's texts.
//
// All widths are in pixels; times in milliseconds of any steady clock.
#include <cstddef>
#include <cstdint>
#include <vector>

class HColumnWidths {
public:
    // The time the table may take to lay out widths given to it. A shown
    // width that still differs from the given one after it was set by hand.
    static constexpr int64_t kLayoutMs = 500;

    struct Change {
        int column;
        int width;
        bool operator==(const Change&) const = default;
    };

    // Forgets every column and measurement.
    void Clear();
    // Adds a column with a stored width (> 0), or a fitted one that starts
    // at defaultWidth. Returns the width to give it.
    int Add(int stored, int defaultWidth);
    int Count() const { return static_cast<int>(columns_.size()); }

    // The width last given to a column.
    int Given(int column) const;
    // The width to store for a column: the person's, or 0 for a fitted one.
    int Stored(int column) const;
    bool IsFitted(int column) const;
    // Whether the names column takes the room left.
    bool FillsFirst() const { return fillFirst_; }

    // A listing of rows rows is shown: measurements of a listing of another
    // length are forgotten (a re-list of as many rows keeps them).
    void NewListing(size_t rows);
    // Whether a fitted column's texts are to be measured now; a measurement
    // made without rows (the title alone) is made again once rows come.
    bool NeedsMeasuring(int column, bool haveRows) const;
    // The widths of a column's texts, each with its padding, and of its
    // title with room for the sort arrow.
    void Measured(int column, std::vector<int> textWidths, int titleWidth, bool fromRows);

    // The widths the columns take in available pixels. Each fitted column
    // shows its texts whole and the names take the rest, down to their
    // title's width (never more than defaultWidth); only when even that does
    // not fit do fitted columns of texts wider than defaultWidth give back,
    // down to their title, and then the list scrolls sideways. Returns the
    // columns whose width changes; now is when they are given.
    std::vector<Change> Fit(int available, int defaultWidth, int64_t now);
    // A width set by a caller or the person: kept and stored from now on.
    // Returns the changes, the names' new width among them when they fill.
    std::vector<Change> SetByHand(int column, int width, int available, int defaultWidth,
                                  int64_t now);

    // Whether the laid-out widths are still to be watched.
    bool Watching() const;
    // Compares the laid-out widths with the given ones. A column whose
    // shown width still differs once the table has had kLayoutMs to lay it
    // out was resized by the person: from then on its width is theirs, and
    // the names stop filling when they were the one resized. The last column
    // takes whatever room is left, so its shown width tells nothing.
    void Watch(const std::vector<int>& shown, int64_t now);
    // The width a column has: the shown one, once laid out (the person may
    // have dragged it), else the given one.
    int Reported(int column, int shown) const;

private:
    struct Column {
        int given = 0;
        bool fitted = false;
        bool measured = false;
        bool fromRows = false;
        int text = 0;  // the width the column's texts claim
        int title = 0; // the title's width
    };
    int NamesFloor(int defaultWidth) const;
    void Give(int column, int width, int64_t now, std::vector<Change>& changes);
    void FitFirst(int available, int defaultWidth, int64_t now, std::vector<Change>& changes);

    std::vector<Column> columns_;
    size_t measuredRows_ = 0;
    bool fillFirst_ = false;
    bool pending_ = false; // widths were given that the table has not laid out yet
    int64_t givenAt_ = 0;
};
