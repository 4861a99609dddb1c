// The converters' bit order tables against the published tables.
#include "lib/voice/amr_bit_order.h"
#include "bit_order_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace {

void ExpectPermutation(const std::vector<std::uint8_t>& table) {
    std::vector<std::uint8_t> sorted = table;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::uint8_t> identity(table.size());
    std::iota(identity.begin(), identity.end(), 0);
    EXPECT_EQ(sorted, identity) << "every serial bit once";
}

TEST(BitOrder, TablesMatchThePublishedTables) {
    auto tables = testfiles::ReadBitOrderFile(testfiles::BitOrderFilePath());
    ASSERT_EQ(tables.count("MR475"), 1u) << testfiles::BitOrderFilePath();
    ASSERT_EQ(tables.count("MR59"), 1u);
    const std::vector<std::uint8_t> mr475(convert::kMr475Order.begin(), convert::kMr475Order.end());
    const std::vector<std::uint8_t> mr59(convert::kMr59Order.begin(), convert::kMr59Order.end());
    EXPECT_EQ(tables["MR475"], mr475);
    EXPECT_EQ(tables["MR59"], mr59);
    ExpectPermutation(mr475);
    ExpectPermutation(mr59);
}

} // namespace
