// SPDX-License-Identifier: GPL-3.0-or-later
#include "CanvasTestSupport.h"
#include "canvas/CanvasGeometry.h"
#include "model/PersistedState.h"

#include <QWheelEvent>

using namespace pexlora;
using test::CanvasHarness;

namespace {

using P = std::vector<GridPosition>;

TEST(LinePositions, FollowTheStartCellsRowOrColumnTowardsTheEnd) {
    EXPECT_EQ(linePositions({2, 3}, {5, 4}, 100), (P{{2, 3}, {3, 3}, {4, 3}, {5, 3}}));
    EXPECT_EQ(linePositions({2, 3}, {3, 6}, 100), (P{{2, 3}, {2, 4}, {2, 5}, {2, 6}}));
    EXPECT_EQ(linePositions({4, 4}, {1, 1}, 100), (P{{4, 4}, {3, 4}, {2, 4}, {1, 4}}))
        << "a tie is horizontal";
    EXPECT_EQ(linePositions({7, 7}, {7, 7}, 100), (P{{7, 7}}));
    EXPECT_EQ(linePositions({0, 0}, {INT64_MAX, 0}, 3), (P{{0, 0}, {1, 0}, {2, 0}}))
        << "bounded, no overflow";
    EXPECT_EQ(linePositions({INT64_MIN, 0}, {INT64_MAX, 0}, 2).size(), 2u);
}

TEST(ModifierKeys, OptionBeforeCommandBeforeShiftBeforeControl) {
    EXPECT_EQ(marqueeModifierFromFlags(Qt::AltModifier | Qt::ShiftModifier), MarqueeModifier::option);
    EXPECT_EQ(marqueeModifierFromFlags(Qt::ControlModifier | Qt::MetaModifier), MarqueeModifier::command);
    EXPECT_EQ(marqueeModifierFromFlags(Qt::ShiftModifier | Qt::MetaModifier), MarqueeModifier::shift);
    EXPECT_EQ(marqueeModifierFromFlags(Qt::MetaModifier | Qt::KeypadModifier), MarqueeModifier::control);
    EXPECT_EQ(marqueeModifierFromFlags(Qt::KeypadModifier), MarqueeModifier::none);
}

class CanvasInput : public testing::Test {
protected:
    void SetUp() override {
        // Nine cells at columns 1-3, rows 1-3, numbered 1-9 in reading order.
        for (std::int64_t row = 1; row <= 3; ++row)
            c.model.placeElements(P{{1, row}, {2, row}, {3, row}});
    }
    CanvasHarness c;
};

TEST_F(CanvasInput, SelectModeClickReplacesTheSelectionWhateverTheKeys) {
    c.drag({30, 30}, {250, 250}, Qt::AltModifier);
    ASSERT_EQ(c.model.selectionGroups().size(), 3u);
    c.click(c.centre({2, 2}), Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(c.model.selectionGroups(), SelectionGroups{{c.idAt({2, 2})}});
    EXPECT_EQ(c.model.selectionModifier(), MarqueeModifier::none);
    EXPECT_FALSE(c.model.marqueeStart());
}

// A packed rig has no empty space to start from: a press on a cell that moves past
// the drag distance is a marquee from the press point; one that does not is a click.
TEST_F(CanvasInput, AMarqueeStartsOnACellOnceThePointerMovesAwayFromThePress) {
    const QPointF five = c.centre({2, 2});
    const double nudge = QApplication::startDragDistance() / 2.0 - 0.5;
    c.press(five);
    c.move(five + QPointF(nudge, 0));
    c.release(five + QPointF(nudge, 0));
    EXPECT_EQ(c.model.selectionGroups(), SelectionGroups{{c.idAt({2, 2})}}) << "a click, however unsteady";
    EXPECT_FALSE(c.model.marqueeStart());

    c.drag(five, c.centre({3, 3}), Qt::AltModifier);
    EXPECT_EQ(c.model.selectionModifier(), MarqueeModifier::option);
    EXPECT_EQ(c.model.selectionGroups(),
              (SelectionGroups{{c.idAt({2, 2}), c.idAt({2, 3})}, {c.idAt({3, 2}), c.idAt({3, 3})}}))
        << "columns 5,8 and 6,9, from the cell pressed";
    EXPECT_FALSE(c.model.marqueeStart());
}

TEST_F(CanvasInput, MarqueeTakesTheModifierAtPressOnEveryDragAndOnEveryKeyChange) {
    c.press({30, 30}, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_TRUE(c.model.selectionGroups().empty()) << "a marquee starts from nothing";
    EXPECT_EQ(c.model.marqueeModifier(), MarqueeModifier::option);
    c.move({120, 200}, Qt::ControlModifier | Qt::MetaModifier);
    EXPECT_EQ(c.model.marqueeModifier(), MarqueeModifier::command);
    c.move({250, 250});
    EXPECT_EQ(c.model.marqueeModifier(), MarqueeModifier::none);
    // Shift pressed without moving switches at once, and its release switches back.
    c.key(QEvent::KeyPress, Qt::Key_Shift);
    EXPECT_EQ(c.model.marqueeModifier(), MarqueeModifier::shift);
    c.key(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(c.model.marqueeModifier(), MarqueeModifier::none);
    c.key(QEvent::KeyPress, Qt::Key_Shift);
    c.release({250, 250}, Qt::ShiftModifier);
    EXPECT_EQ(c.model.selectionModifier(), MarqueeModifier::shift);
    ASSERT_EQ(c.model.selectionGroups().size(), 1u);
    EXPECT_EQ(c.model.selectionGroups()[0].front(), c.idAt({1, 1}));
    EXPECT_EQ(c.model.selectionGroups()[0][1], c.idAt({1, 2})) << "Shift goes down the columns";
    EXPECT_FALSE(c.model.marqueeStart());
}

// Escape gives up a drag under way, whichever tool has it; the release then does nothing.
TEST_F(CanvasInput, EscapeGivesUpAMarqueeAMoveOrALineUnderWay) {
    const QUuid five = c.idAt({2, 2});
    const struct {
        AppMode mode;
        EditTool tool;
        QPointF from, to;
    } drags[] = {
        {AppMode::select, EditTool::selectElement, {30, 30}, c.centre({3, 3})},
        {AppMode::edit, EditTool::selectElement, c.centre({2, 2}), c.centre({2, 5})},
        {AppMode::edit, EditTool::selectElement, {30, 30}, c.centre({3, 3})},
        {AppMode::edit, EditTool::addElement, c.centre({1, 5}), c.centre({4, 5})},
    };
    for (const auto& drag : drags) {
        c.model.setMode(drag.mode);
        c.model.setEditTool(drag.tool);
        c.model.setEditSelectedIDs({five});
        const PersistedState before = c.model.persistedState();
        c.press(drag.from);
        c.move(drag.to);
        EXPECT_TRUE(c.key(QEvent::KeyPress, Qt::Key_Escape));
        c.release(drag.to);
        EXPECT_EQ(c.model.persistedState(), before) << int(drag.tool);
        EXPECT_FALSE(c.model.marqueeStart());
        EXPECT_TRUE(c.model.selectionGroups().empty() || drag.mode == AppMode::edit);
    }
}

TEST_F(CanvasInput, ModeChangeInTheMiddleOfAMarqueeLeavesNoMarqueeBehind) {
    c.press({30, 30});
    c.move({200, 200});
    c.model.setMode(AppMode::edit);
    EXPECT_FALSE(c.model.marqueeStart());
    c.release({200, 200});
    EXPECT_TRUE(c.model.selectionGroups().empty());
}

TEST_F(CanvasInput, SelectToolTogglesDragsAndRubberBandsTheEditSelection) {
    c.model.setMode(AppMode::edit);
    const QUuid a = c.idAt({1, 1}), b = c.idAt({2, 1}), e = c.idAt({2, 2});
    c.click(c.centre({1, 1}));
    EXPECT_EQ(c.model.editSelectedIDs(), QSet<QUuid>{a});
    c.click(c.centre({2, 1}), Qt::ShiftModifier);
    EXPECT_EQ(c.model.editSelectedIDs(), (QSet<QUuid>{a, b}));
    c.click(c.centre({2, 1}), Qt::ShiftModifier);
    c.click(c.centre({2, 1}), Qt::ShiftModifier);
    // Pressing a selected cell keeps the selection, so the drag moves both.
    c.drag(c.centre({2, 1}), c.centre({2, 1}) + QPointF(0, 240));
    EXPECT_EQ(c.model.element(a)->position, (GridPosition{1, 5}));
    EXPECT_EQ(c.model.element(b)->position, (GridPosition{2, 5}));
    // Let go where it began: nothing moves and nothing is marked.
    c.model.setDirty(false);
    c.drag(c.centre({1, 5}), c.centre({1, 5}) + QPointF(10, 10));
    EXPECT_EQ(c.model.element(a)->position, (GridPosition{1, 5}));
    EXPECT_FALSE(c.model.isDirty());
    // Empty space: Shift keeps the selection, a plain press clears it and rubber-bands.
    c.click({500, 30}, Qt::ShiftModifier);
    EXPECT_EQ(c.model.editSelectedIDs(), (QSet<QUuid>{a, b}));
    c.drag({500, 30}, c.centre({2, 2}));
    EXPECT_EQ(c.model.editSelectedIDs(), (QSet<QUuid>{c.idAt({3, 1}), e, c.idAt({3, 2})}));
}

TEST_F(CanvasInput, AddToolPlacesALineOnlyAsFarAsThePointerWent) {
    c.model.setMode(AppMode::edit);
    c.model.setEditTool(EditTool::addElement);
    c.press(c.centre({2, 5}));
    c.move(c.centre({5, 6}));
    c.release(c.centre({5, 6}));
    EXPECT_EQ(c.model.elements().size(), 13u);
    for (const GridPosition p : P{{2, 5}, {3, 5}, {4, 5}, {5, 5}})
        EXPECT_TRUE(c.model.elementAt(p)) << p.col << "," << p.row;
    EXPECT_EQ(c.model.element(c.idAt({2, 5}))->numberString, QStringLiteral("10"));
    // A drag far past the canvas's edge places what lies between its ends, no more.
    c.drag(c.centre({0, 6}), QPointF(10000, c.centre({0, 6}).y()));
    EXPECT_EQ(c.model.elements().size(), 13u + 167u);
}

TEST_F(CanvasInput, AnAddLineRunsTheWholeWayWhenTheGridIsPannedDuringTheDrag) {
    c.model.setMode(AppMode::edit);
    c.model.setEditTool(EditTool::addElement);
    const QPointF start = c.centre({2, 5});
    c.press(start);
    // A wheel turn moves the grid ten cells left under the pointer.
    QWheelEvent wheel(start, c.view->mapToGlobal(start), QPoint(-600, 0), QPoint(), Qt::LeftButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(c.view.get(), &wheel);
    c.move(start + QPointF(120, 0));
    c.release(start + QPointF(120, 0));
    EXPECT_EQ(c.model.elements().size(), 9u + 13u);
    for (std::int64_t col = 2; col <= 14; ++col)
        EXPECT_TRUE(c.model.elementAt({col, 5})) << col;
}

TEST_F(CanvasInput, APressAfterALostReleaseStartsAfresh) {
    c.press({30, 30});
    c.move({250, 250}); // and the release goes to another window
    c.click(c.centre({2, 2}));
    EXPECT_EQ(c.model.selectionGroups(), SelectionGroups{{c.idAt({2, 2})}})
        << "the old marquee is not applied";
    EXPECT_FALSE(c.model.marqueeStart());
}

TEST_F(CanvasInput, QuickRenumberClicksNumberCellsAndTheCursorFollowsTheTool) {
    c.model.setMode(AppMode::edit);
    EXPECT_EQ(c.view->cursor().shape(), Qt::ArrowCursor);
    c.model.setEditTool(EditTool::quickRenumber);
    EXPECT_EQ(c.view->cursor().shape(), Qt::CrossCursor);
    c.model.setQuickRenumberNext(QStringLiteral("101"));
    c.click(c.centre({3, 3}));
    c.click({500, 300}); // no cell: nothing
    EXPECT_EQ(c.model.element(c.idAt({3, 3}))->numberString, QStringLiteral("101"));
    EXPECT_EQ(c.model.quickRenumberNext(), QStringLiteral("102"));
    c.model.setEditTool(EditTool::renumber);
    EXPECT_EQ(c.view->cursor().shape(), Qt::IBeamCursor);
    c.model.setMode(AppMode::select);
    EXPECT_EQ(c.view->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(CanvasInput, HitTestingTakesTheLeftAndTopEdgesOnly) {
    EXPECT_EQ(c.view->hitElement({60, 60})->id, c.idAt({1, 1}));
    EXPECT_EQ(c.view->hitElement({119.999, 119.999})->id, c.idAt({1, 1}));
    EXPECT_EQ(c.view->hitElement({120, 60})->id, c.idAt({2, 1}));
    EXPECT_EQ(c.view->hitElement({59.999, 60}), nullptr);
    // Left of the grid's origin is no cell, though column 0 is the nearest.
    c.model.placeElement({0, 1});
    c.model.setPanOffset({100, 50});
    EXPECT_EQ(c.view->hitElement({40, 120}), nullptr);
    EXPECT_EQ(c.view->hitElement({100, 110})->id, c.idAt({0, 1}));
}

} // namespace
