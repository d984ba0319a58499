// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "app/window/ContentView.h"
#include "app/window/EditToolPicker.h"
#include "app/window/GridToolbarContent.h"
#include "app/window/QuickRenumberPanel.h"
#include "canvas/GridCanvasView.h"
#include "canvas/NumberRefusal.h"
#include "model/GridViewModel.h"
#include "widgets/Popover.h"
#include "widgets/RefusalLabel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;

TEST(QuickRenumberPanel, FieldsAreBoundBothWaysAndResetKeepsTheIncrement) {
    GridViewModel model;
    QuickRenumberPanel panel(&model);
    EXPECT_EQ(panel.nextField()->text(), u"1"_s);
    EXPECT_EQ(panel.incrementField()->text(), u"1"_s);
    EXPECT_EQ(panel.nextField()->placeholderText(), u"1"_s);
    EXPECT_EQ(panel.width(), 220);

    panel.nextField()->selectAll();
    QTest::keyClicks(panel.nextField(), u"101"_s);
    panel.incrementField()->selectAll();
    QTest::keyClicks(panel.incrementField(), u"0.5"_s);
    EXPECT_EQ(model.quickRenumberNext(), u"101"_s);
    EXPECT_EQ(model.quickRenumberIncrement(), u"0.5"_s);

    // A click on a cell moves Next on; the field shows it.
    model.placeElement({0, 0});
    model.applyQuickRenumber(*model.elementAt({0, 0}));
    EXPECT_EQ(panel.nextField()->text(), u"101.5"_s);

    QTest::mouseClick(panel.resetButton(), Qt::LeftButton);
    EXPECT_EQ(model.quickRenumberNext(), u"1"_s);
    EXPECT_EQ(panel.nextField()->text(), u"1"_s);
    EXPECT_EQ(model.quickRenumberIncrement(), u"0.5"_s);
    EXPECT_EQ(panel.resetButton()->text(), u"Reset"_s);
}

TEST(QuickRenumberPanel, TypingKeepsTheCursorWhereTheUserIs) {
    GridViewModel model;
    QuickRenumberPanel panel(&model);
    panel.nextField()->setCursorPosition(0);
    QTest::keyClicks(panel.nextField(), u"2"_s);
    EXPECT_EQ(model.quickRenumberNext(), u"21"_s);
    EXPECT_EQ(panel.nextField()->cursorPosition(), 1);
}

TEST(QuickRenumberPanel, SaysUnderAFieldWhyItsTextWouldNotBeUsedAndKeepsTabInIt) {
    using enum NumberTextProblem;
    GridViewModel model;
    QuickRenumberPanel panel(&model);
    panel.show();
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    const struct {
        bool next; // or the increment
        const char16_t* text;
        std::optional<NumberTextProblem> problem;
    } cases[] = {
        {true, u"abc", notDigits},
        {true, u"1.12345", fractionTooLong},
        {true, u"", std::nullopt}, // the 1 it shows greyed
        {true, u"+7", std::nullopt},
        {false, u"x", notDigits},
        {false, u"-0.5", std::nullopt}, // counting down
    };
    for (const auto& k : cases) {
        QLineEdit* field = k.next ? panel.nextField() : panel.incrementField();
        RefusalLabel* refusal = k.next ? panel.nextRefusal() : panel.incrementRefusal();
        const QString text = QString::fromUtf16(k.text);
        SCOPED_TRACE(text.toStdString() + (k.next ? " as Next" : " as Increment"));
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
        EXPECT_EQ(refusal->isHidden(), !k.problem);
        EXPECT_EQ(refusal->text(), k.problem ? numberRefusal(*k.problem) : QString());
        QTest::keyClick(field, Qt::Key_Tab);
        EXPECT_EQ(field->hasFocus(), k.problem.has_value()) << "Tab leaves only a text that is used";
    }

    // A click that counts Next down below zero says so at once.
    panel.nextField()->selectAll();
    QTest::keyClicks(panel.nextField(), u"0"_s);
    EXPECT_TRUE(panel.nextRefusal()->isHidden());
    model.placeElement({0, 0});
    model.applyQuickRenumber(*model.elementAt({0, 0}));
    EXPECT_EQ(panel.nextField()->text(), u"-0.5"_s);
    EXPECT_EQ(panel.nextRefusal()->text(), numberRefusal(notDigits));
}

// The panel is open beside the grid, its field just typed in, and the next
// click on a cell comes as the window system sends it: to the open popup first.
TEST(QuickRenumberPanel, TheFirstClickOnTheGridAfterTypingNumbersTheCell) {
    test::AppFixture fixture;
    DocumentWindow* window = fixture.app->newDocument();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    GridViewModel& model = *window->viewModel();
    model.placeElements(std::vector<GridPosition>{{1, 1}, {2, 1}});
    model.setMode(AppMode::edit);
    model.setEditTool(EditTool::quickRenumber);
    model.setShowQuickRenumberPanel(true);
    Popover* popover = window->toolbarContent()->toolPicker()->quickRenumberPopover();
    ASSERT_NE(popover, nullptr);
    QLineEdit* next = qobject_cast<QuickRenumberPanel*>(popover->content())->nextField();
    QTRY_VERIFY(next->hasFocus());
    next->selectAll();
    QTest::keyClicks(next, u"202"_s);

    GridCanvasView* canvas = window->contentView()->canvas();
    const QPoint cell = canvas->mapTo(window, model.cellRect({2, 1}).center().toPoint());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, cell);
    QCoreApplication::processEvents(); // a press handed on twice would show now
    EXPECT_EQ(model.element(*model.elementAt({2, 1}))->numberString, u"202"_s);
    EXPECT_EQ(model.quickRenumberNext(), u"203"_s) << "numbered once";
    EXPECT_FALSE(model.showQuickRenumberPanel()) << "the click closed the panel";
}

} // namespace
} // namespace pexlora
