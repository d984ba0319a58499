// SPDX-License-Identifier: GPL-3.0-or-later
#include "CanvasTestSupport.h"
#include "canvas/NumberRefusal.h"
#include "canvas/RenumberPopoverPanel.h"
#include "canvas/RenumberSession.h"
#include "widgets/Popover.h"
#include "widgets/RefusalLabel.h"

#include <QLineEdit>

using namespace pexlora;
using test::CanvasHarness;

namespace {

using P = std::vector<GridPosition>;
using Edge = Popover::Edge;

TEST(PopoverPlacement, CentredOnTheAnchorOnThePreferredEdgeAndKeptOnScreen) {
    const QRect screen(0, 0, 1000, 800);
    const QSize size(200, 100);
    // Below a cell in the middle: centred, 4 points of room.
    EXPECT_EQ(Popover::placement(size, {400, 300, 60, 60}, screen, Edge::below), QPoint(330, 364));
    EXPECT_EQ(Popover::placement(size, {400, 300, 60, 60}, screen, Edge::above), QPoint(330, 196));
    // No room below: above instead; no room above: below instead.
    EXPECT_EQ(Popover::placement(size, {400, 740, 60, 60}, screen, Edge::below), QPoint(330, 636));
    EXPECT_EQ(Popover::placement(size, {400, 20, 60, 60}, screen, Edge::above), QPoint(330, 84));
    // Pushed in from the left and right edges.
    EXPECT_EQ(Popover::placement(size, {0, 300, 20, 20}, screen, Edge::below).x(), 0);
    EXPECT_EQ(Popover::placement(size, {990, 300, 20, 20}, screen, Edge::below).x(), 800);
    // Room on neither edge: as far down as it fits.
    EXPECT_EQ(Popover::placement({200, 700}, {400, 300, 60, 60}, screen, Edge::below).y(), 100);
}

class RenumberPopover : public testing::Test {
protected:
    void SetUp() override {
        c.model.placeElements(P{{1, 1}, {2, 1}, {3, 1}});
        c.model.placeElement({1, 3});
        c.model.setMode(AppMode::edit);
    }
    QLineEdit* field() const {
        Popover* popover = c.view->renumberSession().popover();
        return popover ? static_cast<RenumberPopoverPanel*>(popover->content())->field() : nullptr;
    }
    RefusalLabel* refusal() const {
        Popover* popover = c.view->renumberSession().popover();
        return popover ? static_cast<RenumberPopoverPanel*>(popover->content())->refusal() : nullptr;
    }
    QString numberAt(GridPosition p) const { return c.model.element(c.idAt(p))->numberString; }
    void type(const QString& text) { QTest::keyClicks(field(), text); }
    // As the user does it, so that the model hears every edit.
    void retype(const QString& text) {
        field()->selectAll();
        QTest::keyClick(field(), Qt::Key_Backspace);
        type(text);
    }
    void key(Qt::Key key) { QTest::keyClick(field(), key); }

    CanvasHarness c;
};

TEST_F(RenumberPopover, DoubleClickOpensItFocusedOnTheCellsNumberAndReturnCommits) {
    c.doubleClick(c.centre({2, 1}));
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(c.model.editSelectedIDs(), QSet<QUuid>{c.idAt({2, 1})}) << "the first click selected it";
    EXPECT_EQ(c.model.editingElementID(), c.idAt({2, 1}));
    EXPECT_EQ(field()->text(), QStringLiteral("2"));
    EXPECT_TRUE(field()->hasFocus());
    EXPECT_GE(c.view->renumberSession().popover()->y(), c.view->mapToGlobal(QPoint(0, 120)).y())
        << "below the cell";
    field()->clear();
    type(QStringLiteral("12.5"));
    key(Qt::Key_Return);
    EXPECT_EQ(numberAt({2, 1}), QStringLiteral("12.5"));
    EXPECT_EQ(c.view->renumberSession().popover(), nullptr);
    EXPECT_FALSE(c.model.editingElementID());
    EXPECT_TRUE(c.view->hasFocus());
}

TEST_F(RenumberPopover, TabCommitsAndWalksTheCellsInReadingOrderWrappingToTheFirst) {
    c.model.setEditTool(EditTool::renumber);
    c.click(c.centre({2, 1}));
    field()->clear();
    type(QStringLiteral("20"));
    key(Qt::Key_Tab);
    EXPECT_EQ(numberAt({2, 1}), QStringLiteral("20"));
    EXPECT_EQ(c.model.editingElementID(), c.idAt({3, 1})) << "to the right";
    key(Qt::Key_Tab);
    EXPECT_EQ(c.model.editingElementID(), c.idAt({1, 3})) << "then the next row that has cells";
    key(Qt::Key_Tab);
    EXPECT_EQ(numberAt({1, 3}), QStringLiteral("4"));
    EXPECT_EQ(c.model.editingElementID(), c.idAt({1, 1})) << "from the last cell to the first";
    ASSERT_NE(field(), nullptr);
}

TEST_F(RenumberPopover, EscapeCancelsAndAClickElsewhereKeepsTheTypedNumber) {
    c.model.setEditTool(EditTool::renumber);
    c.click(c.centre({1, 1}));
    field()->clear();
    type(QStringLiteral("77"));
    key(Qt::Key_Escape);
    EXPECT_EQ(numberAt({1, 1}), QStringLiteral("1"));
    EXPECT_EQ(c.view->renumberSession().popover(), nullptr);
    EXPECT_EQ(c.model.editingElementText(), QString());

    c.click(c.centre({1, 1}));
    field()->clear();
    type(QStringLiteral("77"));
    // What the window system does for a click outside a popup.
    c.view->renumberSession().popover()->close();
    EXPECT_EQ(numberAt({1, 1}), QStringLiteral("77"));
    EXPECT_FALSE(c.model.editingElementID());
    EXPECT_EQ(c.view->renumberSession().popover(), nullptr);
}

TEST_F(RenumberPopover, ReturnAndTabRefuseAnInvalidNumberSayingWhyAndKeepTheFieldUntilFixedOrCancelled) {
    using enum NumberTextProblem;
    const struct {
        const char* text;
        NumberTextProblem problem;
    } refused[] = {
        {"", empty},
        {"abc", notDigits},
        {"1.2.3", notDigits},
        {"12.", missingDigits},
        {"12345", wholePartTooLong},
        {"1.12345", fractionTooLong},
    };
    c.model.setEditTool(EditTool::renumber);
    c.click(c.centre({2, 1}));
    for (const auto& r : refused) {
        for (const Qt::Key pressed : {Qt::Key_Return, Qt::Key_Tab}) {
            SCOPED_TRACE(std::string(r.text) + (pressed == Qt::Key_Tab ? " Tab" : " Return"));
            retype(QString::fromUtf8(r.text));
            key(pressed);
            ASSERT_NE(field(), nullptr) << "the popover stays open";
            EXPECT_TRUE(field()->hasFocus());
            EXPECT_EQ(refusal()->text(), numberRefusal(r.problem));
            EXPECT_EQ(c.model.editingElementID(), c.idAt({2, 1})) << "still this cell";
            EXPECT_EQ(numberAt({2, 1}), QStringLiteral("2"));
        }
    }
    EXPECT_EQ(refusal()->text(), QStringLiteral("At most 4 digits after the point"));

    // The reason follows the typing and goes once the text passes; Return then commits.
    type(QStringLiteral("."));
    EXPECT_EQ(refusal()->text(), numberRefusal(notDigits));
    key(Qt::Key_Backspace);
    key(Qt::Key_Backspace);
    EXPECT_TRUE(refusal()->isHidden());
    key(Qt::Key_Return);
    EXPECT_EQ(numberAt({2, 1}), QStringLiteral("1.1234"));
    EXPECT_EQ(c.view->renumberSession().popover(), nullptr);
}

TEST_F(RenumberPopover, OpeningAnotherCellCommitsTheOneUnderWay) {
    c.model.setEditTool(EditTool::renumber);
    c.click(c.centre({1, 1}));
    field()->clear();
    type(QStringLiteral("9"));
    c.click(c.centre({3, 1}));
    EXPECT_EQ(numberAt({1, 1}), QStringLiteral("9"));
    EXPECT_EQ(c.model.editingElementID(), c.idAt({3, 1}));
    EXPECT_EQ(field()->text(), QStringLiteral("3"));
}

} // namespace
