// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/HungLayout.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <random>

using namespace pexlora;
using namespace Qt::StringLiterals;

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

HungChannel at(int channel, double x, double y) {
    return {channel, QPointF(x, y)};
}

HungChannel unplaced(int channel) {
    return {channel, std::nullopt};
}

std::string written(const GridElements& cells) {
    QStringList placed;
    for (const GridElement& cell : cells)
        placed.append(u"%1@%2,%3"_s.arg(cell.numberString).arg(cell.position.col).arg(cell.position.row));
    return placed.join(u' ').toStdString();
}

struct HungCase {
    const char* name;
    std::vector<HungChannel> channels;
    double spacing;
    const char* cells; // "channel@col,row", positioned channels first, each part in channel order
};

class HungLayoutTable : public testing::TestWithParam<HungCase> {};

TEST_P(HungLayoutTable, PlacesTheRigAsSeenFromAboveWhateverTheInputOrder) {
    std::vector<HungChannel> channels = GetParam().channels;
    EXPECT_EQ(written(hungLayout(channels, GetParam().spacing)), GetParam().cells);
    std::reverse(channels.begin(), channels.end());
    EXPECT_EQ(written(hungLayout(channels, GetParam().spacing)), GetParam().cells) << "reversed";
    std::shuffle(channels.begin(), channels.end(), std::mt19937(7));
    EXPECT_EQ(written(hungLayout(channels, GetParam().spacing)), GetParam().cells) << "shuffled";
}

INSTANTIATE_TEST_SUITE_P(
    Table, HungLayoutTable,
    testing::Values(
        HungCase{"Empty", {}, 0.5, ""},
        HungCase{"HalfAMetreToACell", {at(1, 0, 0), at(2, 0.5, 0), at(3, 1.5, 0)}, 0.5, "1@0,0 2@1,0 3@3,0"},
        HungCase{"UpstageIsUp", {at(1, 0, 0), at(2, 0, 1)}, 0.5, "1@0,2 2@0,0"},
        HungCase{"ShiftedToTheTopLeft", {at(1, -3, -2), at(2, -2.5, -2.5)}, 0.5, "1@0,0 2@1,1"},
        HungCase{"ACallerChoosesTheSpacing", {at(1, 0, 0), at(2, 2, 0), at(3, 2, 2)}, 2, "1@0,1 2@1,1 3@1,0"},
        // A spacing that means nothing falls back to the usual one.
        HungCase{"NoSpacingMeansTheUsualOne", {at(1, 0, 0), at(2, 0.5, 0)}, 0, "1@0,0 2@1,0"},
        HungCase{"NaNSpacingMeansTheUsualOne", {at(1, 0, 0), at(2, 0.5, 0)}, nan, "1@0,0 2@1,0"},
        HungCase{"TwoOnOneSpotInChannelOrder", {at(2, 1, 1), at(1, 1, 1)}, 0.5, "1@0,0 2@1,0"},
        // Closer than the spacing, and in the order they hang, not the channels'.
        HungCase{"ThreeInARow", {at(9, 0, 0), at(7, 0.1, 0), at(8, 0.2, 0)}, 0.5, "7@1,0 8@2,0 9@0,0"},
        // The second lands on the cell the third rounds to: the third moves on past it.
        HungCase{"APushedFixturePushesTheNext",
                 {at(1, 0, 0), at(2, 0.2, 0), at(3, 0.45, 0)},
                 0.5,
                 "1@0,0 2@1,0 3@2,0"},
        HungCase{"TheOneFurtherRightGoesRight", {at(1, 0.2, 0), at(2, 0.1, 0)}, 0.5, "1@1,0 2@0,0"},
        HungCase{"TheOneFurtherUpstageGoesUp", {at(1, 0, 0), at(2, 0, 0.2)}, 0.5, "1@0,1 2@0,0"},
        HungCase{"RightAndUpstageGoesBoth", {at(1, 0, 0), at(2, 0.2, 0.2)}, 0.5, "1@0,1 2@1,0"},
        // On one pipe a hair's difference upstage does not lift a fixture off the row.
        HungCase{"MostlyRightGoesRight", {at(1, 0, 0), at(2, 0.2, 0.01)}, 0.5, "1@0,0 2@1,0"},
        HungCase{"UnpositionedBelowAfterAnEmptyRow",
                 {unplaced(5), at(1, 0, 0), at(2, 0, -0.5), unplaced(3)},
                 0.5,
                 "1@0,0 2@0,1 3@0,3 5@1,3"},
        HungCase{"NothingPositionedTenToARow",
                 {unplaced(11), unplaced(1), unplaced(2), unplaced(3), unplaced(4), unplaced(5), unplaced(6),
                  unplaced(7), unplaced(8), unplaced(9), unplaced(10)},
                 0.5,
                 "1@0,0 2@1,0 3@2,0 4@3,0 5@4,0 6@5,0 7@6,0 8@7,0 9@8,0 10@9,0 11@0,1"},
        HungCase{"NotANumberIsNoPosition",
                 {at(1, 0, 0), at(2, nan, 0), at(3, 0, inf), at(4, -inf, nan)},
                 0.5,
                 "1@0,0 2@0,2 3@1,2 4@2,2"},
        HungCase{"AChannelGivenTwiceKeepsItsPosition",
                 {unplaced(1), at(1, 0.5, 0), at(2, 0, 0), at(2, 0, 0)},
                 0.5,
                 "1@1,0 2@0,0"},
        // Far-off fixtures stop a thousand cells from the middle of the rig, side by side.
        HungCase{"FarAwayIsPinnedToTheEdge",
                 {at(1, 0, 0), at(2, 0.5, 0), at(3, 1, 0), at(4, 5000, 0), at(5, 9000, 0)},
                 0.5,
                 "1@0,0 2@1,0 3@2,0 4@1002,0 5@1003,0"},
        HungCase{"AbsurdNumbersStayOnABoundedGrid",
                 {at(1, 0, 0), at(2, 0, 0), at(3, 1e300, -1e300)},
                 0.5,
                 "1@0,0 2@1,0 3@1000,1000"}),
    [](const testing::TestParamInfo<HungCase>& row) { return std::string(row.param.name); });

// Crowds far denser than the grid: every channel still gets a cell of its own,
// packed around where it hangs rather than strung out across the grid.
TEST(HungLayout, CrowdsSpreadIntoDistinctNearbyCells) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> across(-10, 10), deep(0, 8);
    std::vector<HungChannel> oneSpot, dense;
    for (int channel = 1; channel <= 400; ++channel)
        oneSpot.push_back(at(channel, 3, 3));
    for (int channel = 1; channel <= 1500; ++channel)
        dense.push_back(at(channel, across(random), deep(random)));
    for (const auto& channels : {oneSpot, dense}) {
        const GridElements cells = hungLayout(channels);
        ASSERT_EQ(cells.size(), channels.size());
        QSet<GridPosition> taken;
        std::int64_t width = 0, height = 0;
        for (const GridElement& cell : cells) {
            taken.insert(cell.position);
            EXPECT_TRUE(cell.position.col >= 0 && cell.position.row >= 0);
            width = std::max(width, cell.position.col + 1);
            height = std::max(height, cell.position.row + 1);
        }
        EXPECT_EQ(static_cast<std::size_t>(taken.size()), channels.size());
        EXPECT_LE(width * height, static_cast<std::int64_t>(2 * channels.size())) << width << "x" << height;
    }
}

} // namespace
