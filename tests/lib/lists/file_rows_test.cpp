// The display order of the file lists: sorting by column, ties, reversing,
// filtered views and keeping marks (the selection) by data index.
#include "lib/lists/file_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>

namespace {

// Rows as the desktop view keeps them: folders before files.
struct Row {
    std::string name;
    bool folder = false;
    uint32_t size = 0;
};

int BySize(const Row& a, const Row& b) {
    if (a.folder != b.folder) return a.folder ? -1 : 1;
    return CompareValues(a.size, b.size);
}

std::vector<std::string> Names(const HRowOrder& order, const std::vector<Row>& rows) {
    std::vector<std::string> names;
    for (uint32_t data : order.Indices())
        names.push_back(rows[data].name);
    return names;
}

TEST(FileRowsTest, SortsByAColumnThenByNameAndReversesExactly) {
    std::setlocale(LC_ALL, "C.UTF-8");
    const std::vector<Row> rows = {
        {"b.mp3", false, 10}, {"Zed", true, 0},       {"a.mp3", false, 10},
        {"c.mp3", false, 5},  {"M\xfasica", true, 0}, {"a.mp3", false, 10},
    };
    HRowOrder order;
    order.Reset(rows.size());
    SortRowsBy(order, rows, BySize, true);
    EXPECT_EQ(Names(order, rows),
              (std::vector<std::string>{"M\xfasica", "Zed", "c.mp3", "a.mp3", "a.mp3", "b.mp3"}));
    // Equal rows keep data-index order; descending is the exact reverse.
    EXPECT_EQ(order.DataAt(3), 2u);
    EXPECT_EQ(order.DataAt(4), 5u);
    const std::vector<uint32_t> ascending = order.Indices();
    SortRowsBy(order, rows, BySize, false);
    EXPECT_EQ(order.Indices(), std::vector<uint32_t>(ascending.rbegin(), ascending.rend()));
    order.Reverse();
    EXPECT_EQ(order.Indices(), ascending);

    // Names that are not UTF-8 still order totally.
    EXPECT_EQ(CompareNames("a", "a"), 0);
    EXPECT_NE(CompareNames("M\xfasica", "M\xfbsica"), 0);
}

TEST(FileRowsTest, NamesSortWithoutCaseFirstInTheCLocales) {
    // Without case first, then the small letter first; the C locales would
    // otherwise put every capital before every small letter.
    const auto sortedByName = [](std::vector<std::string> names) {
        std::sort(names.rbegin(), names.rend());
        std::stable_sort(
            names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return CompareNames(a, b) < 0; });
        return names;
    };
    const std::vector<std::string> ascii = {"a.mp3", "A.mp3",        "ab.mp3", "b.txt",
                                            "B.txt", "VOICE001.QDX", "Zed"};
    for (const char* locale : {"C", "C.UTF-8"}) {
        ASSERT_TRUE(std::setlocale(LC_ALL, locale)) << locale;
        EXPECT_EQ(sortedByName(ascii), ascii) << locale;
    }
    // With UTF-8 character types other letters have a case too; bytes that
    // are not UTF-8 come after every character.
    const std::vector<std::string> utf8 = {"Zed", "\xc3\xa9t\xc3\xa9", "\xc3\x89T\xc3\x89",
                                           "\xc3\xa9u", "\xff"};
    EXPECT_EQ(sortedByName(utf8), utf8);
}

TEST(FileRowsTest, MarksFindTheirRowsAgainAfterAReorder) {
    std::vector<Row> rows;
    for (uint32_t i = 0; i < 100000; ++i)
        rows.push_back({std::string("f").append(std::to_string(i)), false, (i * 7919u) % 1000u});
    HRowOrder order;
    order.Reset(rows.size());
    std::vector<long> selected;
    for (long row = 0; row < 100000; row += 2)
        selected.push_back(row);
    const auto marks = order.MarkData(selected);
    SortRowsBy(order, rows, BySize, true);
    const std::vector<long> again = order.RowsMarked(marks);
    ASSERT_EQ(again.size(), selected.size());
    for (long row : again)
        ASSERT_EQ(order.DataAt(static_cast<size_t>(row)) % 2, 0u) << row;
    for (long row : {0L, 500L, 99999L})
        EXPECT_EQ(order.RowOf(order.DataAt(static_cast<size_t>(row))), row);
}

TEST(FileRowsTest, AFilteredViewShowsOnlyItsRows) {
    HRowOrder order;
    order.Assign({7, 2, 4});
    EXPECT_EQ(order.size(), 3u);
    EXPECT_EQ(order.RowOf(4), 2);
    EXPECT_EQ(order.RowOf(3), -1);
    EXPECT_EQ(order.RowOf(100), -1);
    EXPECT_EQ(order.RowsMarked(order.MarkData({0, 2, 9})), (std::vector<long>{0, 2}));
    order.Reset(0);
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(order.RowOf(0), -1);
}

} // namespace
