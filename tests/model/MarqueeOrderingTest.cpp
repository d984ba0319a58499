// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/MarqueeOrdering.h"

#include "ModelTestSupport.h"

#include <gtest/gtest.h>

using namespace pexlora;
using pexlora::test::cell;

namespace {

// "[(0,0) (1,0)] [(0,1)]": groups in order, each cell as (col,row).
std::string describe(const std::vector<ElementGroup>& groups) {
    std::string out;
    for (const ElementGroup& group : groups) {
        out += out.empty() ? "[" : " [";
        for (std::size_t i = 0; i < group.size(); ++i)
            out += (i ? " " : "") + test::text(group[i]->position);
        out += "]";
    }
    return out;
}

GridElements nineCells() {
    GridElements elements;
    // Placed in a scrambled order: the result must not depend on the list order.
    for (auto [c, r] : {std::pair{2, 1}, {0, 0}, {1, 2}, {2, 2}, {1, 0}, {0, 2}, {0, 1}, {2, 0}, {1, 1}})
        elements.push_back(cell(c, r));
    return elements;
}

const QPointF topLeft(1, 1), bottomRight(179, 179), bottomLeft(1, 179), topRight(179, 1);

struct OrderCase {
    const char* name;
    QPointF start;
    QPointF end;
    MarqueeModifier modifier;
    const char* expected;
};

class NineCellOrdering : public testing::TestWithParam<OrderCase> {};

TEST_P(NineCellOrdering, TakesCellsInTheModifiersOrder) {
    const GridElements elements = nineCells();
    const auto& c = GetParam();
    EXPECT_EQ(describe(orderedGroups(c.modifier, elements, c.start, c.end, 60.0, {0, 0})), c.expected);
}

using M = MarqueeModifier;
INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, NineCellOrdering,
    testing::Values(OrderCase{"DownRightNone", topLeft, bottomRight, M::none,
                              "[(0,0) (1,0) (2,0) (0,1) (1,1) (2,1) (0,2) (1,2) (2,2)]"},
                    OrderCase{"DownRightShift", topLeft, bottomRight, M::shift,
                              "[(0,0) (0,1) (0,2) (1,0) (1,1) (1,2) (2,0) (2,1) (2,2)]"},
                    OrderCase{"DownRightOption", topLeft, bottomRight, M::option,
                              "[(0,0) (0,1) (0,2)] [(1,0) (1,1) (1,2)] [(2,0) (2,1) (2,2)]"},
                    OrderCase{"DownRightCommand", topLeft, bottomRight, M::command,
                              "[(0,0) (1,0) (2,0)] [(0,1) (1,1) (2,1)] [(0,2) (1,2) (2,2)]"},
                    OrderCase{"DownRightControl", topLeft, bottomRight, M::control,
                              "[(0,0)] [(1,0) (0,1)] [(2,0) (1,1) (0,2)] [(2,1) (1,2)] [(2,2)]"},
                    OrderCase{"UpLeftNone", bottomRight, topLeft, M::none,
                              "[(2,2) (1,2) (0,2) (2,1) (1,1) (0,1) (2,0) (1,0) (0,0)]"},
                    OrderCase{"UpLeftShift", bottomRight, topLeft, M::shift,
                              "[(2,2) (2,1) (2,0) (1,2) (1,1) (1,0) (0,2) (0,1) (0,0)]"},
                    OrderCase{"UpLeftOption", bottomRight, topLeft, M::option,
                              "[(2,0) (2,1) (2,2)] [(1,0) (1,1) (1,2)] [(0,0) (0,1) (0,2)]"},
                    OrderCase{"UpLeftCommand", bottomRight, topLeft, M::command,
                              "[(2,2) (1,2) (0,2)] [(2,1) (1,1) (0,1)] [(2,0) (1,0) (0,0)]"},
                    OrderCase{"UpLeftControl", bottomRight, topLeft, M::control,
                              "[(2,2)] [(1,2) (2,1)] [(0,2) (1,1) (2,0)] [(0,1) (1,0)] [(0,0)]"},
                    OrderCase{"UpRightNone", bottomLeft, topRight, M::none,
                              "[(0,2) (1,2) (2,2) (0,1) (1,1) (2,1) (0,0) (1,0) (2,0)]"},
                    OrderCase{"UpRightShift", bottomLeft, topRight, M::shift,
                              "[(0,2) (0,1) (0,0) (1,2) (1,1) (1,0) (2,2) (2,1) (2,0)]"},
                    OrderCase{"UpRightOption", bottomLeft, topRight, M::option,
                              "[(0,0) (0,1) (0,2)] [(1,0) (1,1) (1,2)] [(2,0) (2,1) (2,2)]"},
                    OrderCase{"UpRightCommand", bottomLeft, topRight, M::command,
                              "[(0,2) (1,2) (2,2)] [(0,1) (1,1) (2,1)] [(0,0) (1,0) (2,0)]"},
                    OrderCase{"UpRightControl", bottomLeft, topRight, M::control,
                              "[(0,2)] [(1,2) (0,1)] [(2,2) (1,1) (0,0)] [(2,1) (1,0)] [(2,0)]"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(MarqueeOrdering, TinyMarqueeSelectsNothing) {
    const GridElements elements = nineCells();
    EXPECT_EQ(describe(orderedGroups(M::none, elements, {10, 10}, {12, 12}, 60, {0, 0})), "");
    EXPECT_EQ(describe(orderedGroups(M::none, elements, {10, 10}, {10, 10}, 60, {0, 0})), "");
    EXPECT_EQ(describe(orderedGroups(M::none, elements, {12, 12}, {10, 10}, 60, {0, 0})), "");
}

TEST(MarqueeOrdering, FlatMarqueeTakesTheCellsItCrosses) {
    const GridElements elements = nineCells();
    EXPECT_EQ(describe(orderedGroups(M::none, elements, {58, 70}, {61, 71}, 60, {0, 0})), "[(0,1) (1,1)]");
    EXPECT_EQ(describe(orderedGroups(M::none, elements, {58, 70}, {61, 70}, 60, {0, 0})), "[(0,1) (1,1)]");
    EXPECT_EQ(describe(orderedGroups(M::none, elements, {30, 10}, {30, 130}, 60, {0, 0})),
              "[(0,0) (0,1) (0,2)]");
}

TEST(MarqueeOrdering, EdgeStripOfACellIsEnough) {
    const GridElements elements = nineCells();
    // Covers x 55..65: the right strip of column 0 and the left strip of column 1.
    EXPECT_EQ(describe(orderedGroups(M::none, elements, {55, 5}, {65, 10}, 60, {0, 0})), "[(0,0) (1,0)]");
}

TEST(MarqueeOrdering, MerelyTouchingAnEdgeDoesNotTakeTheCell) {
    const GridElements elements = nineCells();
    // x 60..100 touches the right edge of column 0 without covering any of it.
    EXPECT_EQ(describe(orderedGroups(M::none, elements, {60, 5}, {100, 10}, 60, {0, 0})), "[(1,0)]");
    EXPECT_EQ(describe(orderedGroups(M::none, elements, {10, 180}, {100, 200}, 60, {0, 0})), "");
}

TEST(MarqueeOrdering, FollowsZoomAndPan) {
    const GridElements elements = nineCells();
    // Cell size 120, pan (-30, 10): column 1 spans x 90..210, row 0 spans y 10..130.
    EXPECT_EQ(describe(orderedGroups(M::none, elements, {100, 20}, {200, 30}, 120, {-30, 10})), "[(1,0)]");
}

TEST(MarqueeOrdering, OptionListsColumnsTopToBottomEvenWhenDraggedUp) {
    const GridElements elements = nineCells();
    EXPECT_EQ(describe(orderedGroups(M::option, elements, {1, 179}, {60 + 50, 1}, 60, {0, 0})),
              "[(0,0) (0,1) (0,2)] [(1,0) (1,1) (1,2)]");
    EXPECT_EQ(describe(orderedGroups(M::shift, elements, {1, 179}, {50, 1}, 60, {0, 0})),
              "[(0,2) (0,1) (0,0)]");
}

TEST(MarqueeOrdering, ControlOverALineGivesOneGroupPerCell) {
    const GridElements elements = nineCells();
    EXPECT_EQ(describe(orderedGroups(M::control, elements, {30, 170}, {35, 10}, 60, {0, 0})),
              "[(0,2)] [(0,1)] [(0,0)]");
    EXPECT_EQ(describe(orderedGroups(M::control, elements, {170, 70}, {10, 75}, 60, {0, 0})),
              "[(2,1)] [(1,1)] [(0,1)]");
}

TEST(MarqueeOrdering, ControlStartsAtTheCornerOfTheEnclosedCells) {
    GridElements elements;
    for (int c = 5; c <= 6; ++c)
        for (int r = 3; r <= 4; ++r)
            elements.push_back(cell(c, r));
    // The marquee begins far above and left of the cells it encloses.
    EXPECT_EQ(describe(orderedGroups(M::control, elements, {0, 0}, {1000, 1000}, 60, {0, 0})),
              "[(5,3)] [(6,3) (5,4)] [(6,4)]");
}

TEST(MarqueeOrdering, ExtremeStoredPositionsDoNotOverflow) {
    GridElements elements{cell(INT64_MIN, INT64_MIN), cell(INT64_MAX, INT64_MAX), cell(INT64_MIN, INT64_MAX)};
    // A huge marquee with a tiny cell size covers them all; ordering must stay defined.
    const auto groups = orderedGroups(M::control, elements, {-1e300, -1e300}, {1e300, 1e300}, 1e-300, {0, 0});
    EXPECT_EQ(describe(groups), "[(-9223372036854775808,-9223372036854775808)] "
                                "[(-9223372036854775808,9223372036854775807)] "
                                "[(9223372036854775807,9223372036854775807)]");
}

} // namespace
