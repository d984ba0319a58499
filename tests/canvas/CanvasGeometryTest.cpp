// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/CanvasGeometry.h"

#include <gtest/gtest.h>
#include <limits>

namespace pexlora {
namespace {

constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t highest = std::numeric_limits<std::int64_t>::max();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

TEST(IndexRange, CountsBothEndsAndSaturatesAtTheWholeRange) {
    const struct {
        IndexRange range;
        std::uint64_t count;
    } table[] = {
        {{0, -1}, 0},
        {{5, 4}, 0},
        {{5, 5}, 1},
        {{-3, 3}, 7},
        {{lowest, -1}, std::uint64_t(1) << 63},
        {{lowest + 1, highest}, std::numeric_limits<std::uint64_t>::max()},
        {{lowest, highest}, std::numeric_limits<std::uint64_t>::max()},
    };
    for (const auto& row : table)
        EXPECT_EQ(row.range.count(), row.count) << row.range.first << ".." << row.range.last;
}

TEST(CellsCovering, TakesTheCellsThatMeetTheSpanAndNothingElse) {
    const struct {
        double low, high, cellSize, pan;
        std::int64_t first, last; // last < first: none
    } table[] = {
        {0, 60, 60, 0, 0, 0},              // the next cell only touches the end
        {0, 60.5, 60, 0, 0, 1},            //
        {-0.5, 60, 60, 0, -1, 0},          //
        {0, 60, 60, 10, -1, 0},            // the pan moves the cells, not the span
        {0, 60, 60, -60, 1, 1},            //
        {30, 30, 60, 0, 0, -1},            // an empty span
        {40, 30, 60, 0, 0, -1},            //
        {0, 100, 0, 0, 0, -1},             // no cells to cover with
        {0, 100, -60, 0, 0, -1},           //
        {0, 100, nan, 0, 0, -1},           //
        {0, 100, 60, nan, 0, -1},          //
        {0, 1e300, 1e-300, 0, 0, highest}, // held inside the index range
        {-1e300, 0, 1e-300, 0, lowest, -1},
    };
    for (const auto& row : table) {
        const IndexRange range = cellsCovering(row.low, row.high, row.cellSize, row.pan);
        SCOPED_TRACE(testing::Message() << "[" << row.low << ", " << row.high << ") cells of " << row.cellSize
                                        << " from " << row.pan);
        if (row.last < row.first) {
            EXPECT_TRUE(range.isEmpty());
            continue;
        }
        EXPECT_EQ(range.first, row.first);
        EXPECT_EQ(range.last, row.last);
    }
}

TEST(FirstLineIndex, IsTheLineAtOrBeforeTheCoordinate) {
    const struct {
        double coordinate, cellSize, pan, index;
    } table[] = {
        {0, 60, 0, 0},   {59.9, 60, 0, 0}, {60, 60, 0, 1},       {-0.1, 60, 0, -1},
        {0, 60, 10, -1}, {70, 60, 10, 1},  {1e300, 1, 0, 1e300}, // a double: no overflow
    };
    for (const auto& row : table)
        EXPECT_EQ(firstLineIndex(row.coordinate, row.cellSize, row.pan), row.index)
            << row.coordinate << " with cells of " << row.cellSize << " from " << row.pan;
}

} // namespace
} // namespace pexlora
