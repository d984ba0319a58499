// SPDX-License-Identifier: GPL-3.0-or-later
// The selection bar: its text, the Rec. Group button and the group-number popover.
#include "AppTestSupport.h"
#include "app/console/ConsoleGroupsPanel.h"
#include "app/console/RecGroupPopover.h"
#include "app/console/RecordGroupButton.h"
#include "app/console/SelectionBarView.h"
#include "app/window/ContentView.h"
#include "canvas/GridCanvasView.h"
#include "eos/EosGroupDirectory.h"
#include "model/PersistedState.h"
#include "widgets/Popover.h"

#include <QAction>
#include <QDockWidget>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;

SelectionBarView* selectionBar(DocumentWindow* window) {
    return qobject_cast<SelectionBarView*>(window->contentView()->selectionBar());
}

TEST(SelectionBar, CanRecordGroupNeedsASelectionInSelectMode) {
    const SelectionGroups some = {{QUuid::createUuid()}};
    const struct {
        SelectionGroups groups;
        AppMode mode;
        bool recordable;
    } table[] = {
        {some, AppMode::select, true}, {{}, AppMode::select, false},  {some, AppMode::edit, false},
        {{}, AppMode::edit, false},    {{{}}, AppMode::select, true}, // not empty, though its one group is
    };
    for (const auto& row : table)
        EXPECT_EQ(SelectionBarView::canRecordGroup(row.groups, row.mode), row.recordable)
            << row.groups.size() << (row.mode == AppMode::edit ? " edit" : " select");
}

class WindowBar : public ::testing::Test {
protected:
    WindowBar() {
        window = fixture.app->newDocument();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        bar = selectionBar(window);
        model = window->viewModel();
        const GridPosition cells[] = {{0, 0}, {1, 0}, {2, 0}};
        model->placeElements(cells);
    }
    void pressCtrlG() { QTest::keyClick(window, Qt::Key_G, Qt::ControlModifier); }

    test::AppFixture fixture;
    DocumentWindow* window = nullptr;
    SelectionBarView* bar = nullptr;
    GridViewModel* model = nullptr;
};

TEST_F(WindowBar, ShowsTheSelectionInMonospacedTextOverTheRecordButton) {
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->selectionLabel()->text(), u"No selection"_s);
    EXPECT_EQ(bar->selectionArea()->height(), SelectionBarView::rowHeight);
    EXPECT_EQ(bar->selectionArea()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    const QFont font = bar->selectionLabel()->font();
    EXPECT_EQ(font.pixelSize(), 13);
    EXPECT_TRUE(QFontInfo(font).fixedPitch());
#ifndef Q_OS_MACOS
    EXPECT_EQ(bar->recordGroupButton()->text(), u"Rec. Group Ctrl+G"_s);
#endif
    EXPECT_EQ(RecordGroupButton::fillColor(), QColor(38, 55, 70));

    std::vector<QUuid> all;
    for (const GridElement& element : model->elements())
        all.push_back(element.id);
    model->setSelectionGroups({all});
    EXPECT_EQ(bar->selectionLabel()->text(), u"1>3"_s);
    model->setSelectionModifier(MarqueeModifier::option);
    EXPECT_EQ(bar->selectionLabel()->text(), u"(1,2,3)"_s);

    // A text longer than the bar scrolls sideways, and its end comes out from under the button.
    std::vector<GridPosition> many;
    for (std::int64_t col = 0; col < 100; ++col)
        many.push_back({col, 5});
    model->placeElements(many);
    std::vector<QUuid> every;
    for (const GridElement& element : model->elements())
        every.push_back(element.id);
    model->setSelectionGroups({every});
    model->setSelectionModifier(MarqueeModifier::command); // "(1,2,…,103)", no folding
    QScrollBar* sideways = bar->selectionArea()->horizontalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sideways->maximum() > 0; })) << "laid out again";
    // Cut at the button with an ellipsis, whole in the tooltip.
    EXPECT_TRUE(bar->moreMarker()->isVisible());
    EXPECT_EQ(bar->moreMarker()->geometry().right() + 1,
              bar->recordGroupButton()->parentWidget()->geometry().left());
    EXPECT_TRUE(QTextDocumentFragment::fromHtml(bar->selectionArea()->toolTip())
                    .toPlainText()
                    .remove(QChar(0x200B))
                    .endsWith(u",103)"_s));
    sideways->setValue(sideways->maximum());
    EXPECT_FALSE(bar->moreMarker()->isVisible());
    const QRect lastGlyph = bar->selectionLabel()->contentsRect();
    const QPoint textEnd = bar->selectionLabel()->mapTo(bar, QPoint(lastGlyph.right(), 0));
    EXPECT_LE(textEnd.x(), bar->recordGroupButton()->mapTo(bar, QPoint(0, 0)).x());
}

TEST_F(WindowBar, RecordButtonIsDimmedAndDisabledUnlessSelectModeHasASelection) {
    RecordGroupButton* button = bar->recordGroupButton();
    EXPECT_FALSE(button->isEnabled());
    EXPECT_DOUBLE_EQ(button->opacity(), 0.4);

    model->selectSingle(model->elements().front().id);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_DOUBLE_EQ(button->opacity(), 1.0);

    model->setMode(AppMode::edit);
    EXPECT_FALSE(button->isEnabled());
    EXPECT_DOUBLE_EQ(button->opacity(), 0.4);
    pressCtrlG();
    EXPECT_EQ(bar->recGroupPopover(), nullptr) << "no shortcut in edit mode";
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(bar->recGroupPopover(), nullptr);

    model->setMode(AppMode::select);
    model->setSelectionGroups({});
    pressCtrlG();
    EXPECT_EQ(bar->recGroupPopover(), nullptr) << "nothing selected";
}

TEST_F(WindowBar, CtrlGOpensThePopoverBelowTheButtonWithAnEmptyFocusedField) {
    model->selectSingle(model->elements().front().id);
    pressCtrlG();
    Popover* popover = bar->recGroupPopover();
    ASSERT_NE(popover, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(popover));
    RecGroupPopover* panel = bar->recGroupPanel();
    EXPECT_TRUE(panel->text().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->field()->hasFocus(); }));
    EXPECT_EQ(panel->field()->placeholderText(), u"1\u201399999.999"_s);
    EXPECT_EQ(panel->field()->width(), RecGroupPopover::fieldWidth);
    EXPECT_TRUE(panel->recordButton()->isDefault());
    EXPECT_FALSE(panel->recordButton()->isEnabled());

    QTest::keyClicks(panel->field(), u"34"_s);
    EXPECT_EQ(bar->groupNumberText(), u"34"_s);
    QTest::keyClick(panel->field(), Qt::Key_Escape);
    EXPECT_EQ(bar->recGroupPopover(), nullptr);

    // Each press starts again from an empty field.
    QTest::mouseClick(bar->recordGroupButton(), Qt::LeftButton);
    ASSERT_NE(bar->recGroupPanel(), nullptr);
    EXPECT_TRUE(bar->recGroupPanel()->text().isEmpty());
    EXPECT_TRUE(bar->groupNumberText().isEmpty());
}

TEST_F(WindowBar, AConsoleGroupChosenInThePanelBecomesTheSelectionInItsOrder) {
    EosGroupDirectory& groups = fixture.app->eosManager().groups();
    groups.start();
    groups.take(OSCMessage("/eos/out/get/group/count", {1}));
    groups.take(OSCMessage("/eos/out/get/group/12", {0, "uid", "Sides"}));
    groups.take(OSCMessage("/eos/out/get/group/12/channels", {0, "uid", 3, 1, "7-8"}));
    auto* show = window->findChild<QAction*>(u"viewConsoleGroups"_s);
    ASSERT_NE(show, nullptr);
    show->trigger();
    auto* panel = qobject_cast<ConsoleGroupsPanel*>(window->consoleGroups()->widget());
    ASSERT_TRUE(panel && panel->isVisible());
    ASSERT_EQ(panel->list()->topLevelItemCount(), 1);
    QTreeWidgetItem* item = panel->list()->topLevelItem(0);
    EXPECT_EQ(item->text(1), u"Sides"_s);
    EXPECT_EQ(item->text(2), u"4"_s);

    const QUuid one = model->elements()[0].id;
    const QUuid three = model->elements()[2].id;
    emit panel->list()->itemEntered(item, 0);
    EXPECT_EQ(window->contentView()->canvas()->outlinedCells(), (QSet<QUuid>{one, three}));
    QTest::mouseClick(panel->list()->viewport(), Qt::LeftButton, {},
                      panel->list()->visualItemRect(item).center());
    EXPECT_EQ(model->selectionGroups(), (SelectionGroups{{three, one}}));
    EXPECT_TRUE(panel->statusLine()->text().contains(u"2 channels of group 12 are not on this layout"_s));
}

TEST(RecGroupPopover, OnlyValidGroupNumbersCanBeSubmitted) {
    const struct {
        QString typed;
        bool valid;
    } table[] = {
        {u"0.5"_s, false}, {u"12.1250"_s, false}, {u"100000"_s, false},
        {u"abc"_s, false}, {u" 12"_s, false},     {u"12a"_s, false},
        {u"1"_s, true},    {u"12.125"_s, true},   {u"99999.999"_s, true},
    };
    for (const auto& row : table) {
        RecGroupPopover panel;
        panel.show();
        QSignalSpy submitted(&panel, &RecGroupPopover::submitted);
        QTest::keyClicks(panel.field(), row.typed);
        EXPECT_EQ(panel.text(), row.typed);
        EXPECT_EQ(panel.recordButton()->isEnabled(), row.valid) << row.typed.toStdString();
        QTest::keyClick(panel.field(), Qt::Key_Return);
        EXPECT_EQ(submitted.count(), row.valid ? 1 : 0) << row.typed.toStdString();
        QTest::mouseClick(panel.recordButton(), Qt::LeftButton);
        EXPECT_EQ(submitted.count(), row.valid ? 2 : 0) << "the button, " << row.typed.toStdString();
    }
}

TEST(RecGroupPopover, SaysWhatTheDeskHoldsAndReplacesAGroupOnlyWhenAskedTwice) {
    EosGroupDirectory groups(EosClock::system(), [](const OSCMessage&) {});
    groups.start();
    groups.take(OSCMessage("/eos/out/get/group/count", {1}));
    groups.take(OSCMessage("/eos/out/get/group/12", {0, "uid", "<b>Front</b> wash"}));
    groups.take(OSCMessage("/eos/out/get/group/12/channels", {0, "uid", "1-8"}));
    ASSERT_EQ(groups.status(), EosGroupDirectory::Status::ready);
    const struct {
        EosGroupDirectory* groups;
        QString typed;
        QString line;
        bool asksFirst;
    } table[] = {
        {&groups, u"12"_s, u"Replaces group 12 “<b>Front</b> wash” (8 channels)"_s, true},
        {&groups, u"012.0"_s, u"Replaces group 012.0 “<b>Front</b> wash” (8 channels)"_s, true},
        {&groups, u"13"_s, u"Group 13 is free"_s, false},
        {nullptr, u"12"_s, u"The desk's groups could not be read"_s, false},
    };
    for (const auto& row : table) {
        RecGroupPopover panel(row.groups);
        panel.show();
        QSignalSpy submitted(&panel, &RecGroupPopover::submitted);
        QTest::keyClicks(panel.field(), row.typed);
        EXPECT_EQ(panel.groupLine()->text(), row.line);
        EXPECT_EQ(panel.groupLine()->textFormat(), Qt::PlainText);
        QTest::keyClick(panel.field(), Qt::Key_Return);
        EXPECT_EQ(submitted.count(), row.asksFirst ? 0 : 1) << row.typed.toStdString();
        if (!row.asksFirst)
            continue;
        EXPECT_EQ(panel.recordButton()->text(), u"Replace Group "_s + row.typed);
        // Typing again takes the question back.
        QTest::keyClick(panel.field(), Qt::Key_Backspace);
        QTest::keyClicks(panel.field(), row.typed.right(1));
        EXPECT_EQ(panel.recordButton()->text(), u"Record Group"_s);
        QTest::keyClick(panel.field(), Qt::Key_Return);
        QTest::keyClick(panel.field(), Qt::Key_Return);
        EXPECT_EQ(submitted.count(), 1) << row.typed.toStdString();
    }
}

} // namespace
} // namespace pexlora

namespace pexlora {
namespace {

// A number read from a file is shown as it is stored, never as markup; and the
// bar is only read, so a click on it leaves the keyboard with the canvas.
TEST_F(WindowBar, ShowsNumbersAsPlainTextAndLeavesTheKeyboardWithTheCanvas) {
    PersistedState stored = model->persistedState();
    stored.elements.front().numberString = u"<b>7</b>"_s;
    ASSERT_TRUE(model->restore(encodePersistedState(stored)).ok());
    model->setSelectionGroups({{stored.elements.front().id}});
    EXPECT_EQ(bar->selectionLabel()->text(), u"<b>7</b>"_s);
    EXPECT_EQ(bar->selectionLabel()->textFormat(), Qt::PlainText);

    GridCanvasView* canvas = window->contentView()->canvas();
    model->setMode(AppMode::edit);
    model->setEditTool(EditTool::selectElement);
    QTest::mouseClick(canvas, Qt::LeftButton, {}, model->cellRect({1, 0}).center().toPoint());
    ASSERT_EQ(model->editSelectedIDs().size(), 1);
    QTest::mouseClick(bar->selectionLabel(), Qt::LeftButton, {}, QPoint(4, 4));
    QTest::mouseClick(bar->selectionArea()->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(QApplication::focusWidget(), canvas);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    EXPECT_EQ(model->elements().size(), 2u);
}

} // namespace
} // namespace pexlora
