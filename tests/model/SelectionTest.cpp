// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

using namespace pexlora;
using test::idAt;

namespace {

class Selection : public testing::Test {
protected:
    void SetUp() override { test::placeAll(model, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}); }

    void dragMarquee(QPointF from, QPointF to, MarqueeModifier modifier) {
        model.setSelectionGroups({});
        model.setSelectionModifier(MarqueeModifier::none);
        model.setMarqueeModifier(modifier);
        model.setMarqueeStart(from);
        model.setMarqueeEnd(to);
        model.finishMarquee();
    }

    GridViewModel model;
};

TEST_F(Selection, FinishedMarqueeReplacesTheGroupsAndEndsTheDrag) {
    dragMarquee({5, 5}, {100, 100}, MarqueeModifier::option);
    EXPECT_EQ(model.selectionGroups(), (SelectionGroups{{idAt(model, {0, 0}), idAt(model, {0, 1})},
                                                        {idAt(model, {1, 0}), idAt(model, {1, 1})}}));
    EXPECT_EQ(model.selectionModifier(), MarqueeModifier::option);
    EXPECT_FALSE(model.marqueeStart());
    EXPECT_FALSE(model.marqueeEnd());
    EXPECT_EQ(model.marqueeModifier(), MarqueeModifier::option) << "the modifier outlives the drag";
}

TEST_F(Selection, FinishWithoutADragDoesNothing) {
    model.selectSingle(idAt(model, {0, 0}));
    model.setMarqueeStart(QPointF(5, 5));
    model.finishMarquee();
    EXPECT_EQ(model.selectionGroups().size(), 1u);
    EXPECT_TRUE(model.marqueeStart());
}

TEST_F(Selection, MarqueeWithoutMovementLeavesAnEmptySelectionWithItsModifier) {
    model.selectSingle(idAt(model, {0, 0}));
    dragMarquee({5, 5}, {5, 5}, MarqueeModifier::control);
    EXPECT_TRUE(model.selectionGroups().empty());
    EXPECT_EQ(model.selectionModifier(), MarqueeModifier::control);
}

TEST_F(Selection, ClickAfterAMarqueeSelectsOneCellWithNoModifier) {
    dragMarquee({5, 5}, {100, 100}, MarqueeModifier::option);
    model.selectSingle(idAt(model, {1, 1}));
    EXPECT_EQ(model.selectionGroups(), (SelectionGroups{{idAt(model, {1, 1})}}));
    EXPECT_EQ(model.selectionModifier(), MarqueeModifier::none);
}

TEST_F(Selection, DeletedCellsStayInTheGroups) {
    dragMarquee({5, 5}, {100, 100}, MarqueeModifier::none);
    const auto before = model.flatSelection();
    model.setMode(AppMode::edit);
    model.setEditSelectedIDs({idAt(model, {0, 0})});
    model.deleteEditSelection();
    model.setMode(AppMode::select);
    EXPECT_EQ(model.flatSelection(), before);
    EXPECT_EQ(model.flatSelection().size(), 4u);
}

TEST_F(Selection, FlatSelectionConcatenatesGroupsInOrder) {
    const QUuid a = QUuid::createUuid(), b = QUuid::createUuid(), c = QUuid::createUuid();
    model.setSelectionGroups({{c}, {a, b}});
    EXPECT_EQ(model.flatSelection(), (std::vector<QUuid>{c, a, b}));
}

TEST_F(Selection, ToggleTwiceRestoresTheEditSelection) {
    const QUuid id = idAt(model, {1, 0});
    model.setEditSelectedIDs({idAt(model, {0, 0})});
    model.toggleEditSelection(id);
    EXPECT_EQ(model.editSelectedIDs().size(), 2);
    model.toggleEditSelection(id);
    EXPECT_EQ(model.editSelectedIDs(), QSet<QUuid>{idAt(model, {0, 0})});
}

TEST_F(Selection, EditMarqueeAddsToTheSelection) {
    model.setEditSelectedIDs({idAt(model, {0, 1})});
    model.selectInEditMarquee({10, 10}, {12, 12});
    EXPECT_EQ(model.editSelectedIDs().size(), 1) << "2 x 2 points adds nothing";
    model.selectInEditMarquee({58, 30}, {61, 31});
    EXPECT_EQ(model.editSelectedIDs(),
              (QSet<QUuid>{idAt(model, {0, 1}), idAt(model, {0, 0}), idAt(model, {1, 0})}));
}

TEST_F(Selection, EditMarqueeFollowsZoomAndPan) {
    model.setZoomScale(0.5);
    model.setPanOffset({100, 100});
    model.selectInEditMarquee({131, 131}, {140, 140});
    EXPECT_EQ(model.editSelectedIDs(), QSet<QUuid>{idAt(model, {1, 1})});
}

} // namespace
