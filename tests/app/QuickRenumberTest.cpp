// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/QuickRenumberPanel.h"
#include "model/GridViewModel.h"

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

} // namespace
} // namespace pexlora
