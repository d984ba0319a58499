// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "app/console/EosConsolePopover.h"
#include "app/console/EosStatusBarView.h"
#include "app/window/ContentView.h"
#include "app/window/EditToolPicker.h"
#include "app/window/GridToolbarContent.h"
#include "app/window/KeyChip.h"
#include "app/window/SelectKeyLegend.h"
#include "app/window/ToolButton.h"
#include "app/window/ZoomText.h"
#include "canvas/GridCanvasView.h"
#include "model/GridViewModel.h"
#include "widgets/CapsuleToggleButton.h"
#include "widgets/SecondaryLabel.h"

#include <QAccessible>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;

TEST(ZoomText, TruncatesTheWholePercentAfterTheRepresentationError) {
    const struct {
        double scale;
        QString text;
    } table[] = {
        {0.29, u"29%"_s},
        {0.57, u"57%"_s},
        {0.999, u"99%"_s},
        {0.1, u"10%"_s},
        {10, u"1000%"_s},
        {0.0099, u"0%"_s},
        {-0.29, u"-29%"_s},
        {1e300, u"1000000000000000%"_s},
        {std::numeric_limits<double>::quiet_NaN(), u"0%"_s},
    };
    for (const auto& row : table)
        EXPECT_EQ(zoomPercentText(row.scale), row.text) << row.scale;
}

// The toolbar of a new document window, shown, so visibility means what the user sees.
struct ShownToolbar {
    test::AppFixture fixture;
    DocumentWindow* window = fixture.app->newDocument();
    GridViewModel& model = *window->viewModel();
    GridToolbarContent* toolbar = window->toolbarContent();

    ShownToolbar() {
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    void click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center()); }
};

TEST(Toolbar, ModeSwapsTheKeyLegendAndTheToolPicker) {
    ShownToolbar shown;
    EXPECT_TRUE(shown.toolbar->keyLegend()->isVisible());
    EXPECT_FALSE(shown.toolbar->toolPicker()->isVisible());
    EXPECT_EQ(shown.toolbar->editModeButton()->toolTip(), u"Edit Layout"_s);
    EXPECT_EQ(shown.toolbar->editModeButton()->accessibleName(), u"Edit Layout"_s);

    shown.click(shown.toolbar->editModeButton());
    EXPECT_EQ(shown.model.mode(), AppMode::edit);
    EXPECT_FALSE(shown.toolbar->keyLegend()->isVisible());
    EXPECT_TRUE(shown.toolbar->toolPicker()->isVisible());
    EXPECT_TRUE(shown.toolbar->editModeButton()->isOn());
    EXPECT_EQ(shown.toolbar->editModeButton()->toolTip(), u"Exit Edit Layout"_s);
    const SystemColors colors = SystemColors::fromPalette(shown.toolbar->palette());
    EXPECT_EQ(shown.toolbar->editModeButton()->look(colors).fill, colors.accent);
    EXPECT_EQ(shown.toolbar->editModeButton()->look(colors).content, QColor(Qt::white));

    shown.model.setMode(AppMode::select);
    EXPECT_TRUE(shown.toolbar->keyLegend()->isVisible());
    EXPECT_FALSE(shown.toolbar->toolPicker()->isVisible());
    EXPECT_EQ(shown.toolbar->editModeButton()->look(colors).fill.alpha(), 0);
}

TEST(Toolbar, PreviewButtonFollowsThePreviewAndLeavingEditModeStartsIt) {
    ShownToolbar shown;
    CapsuleToggleButton* preview = shown.toolbar->previewButton();
    const SystemColors colors = SystemColors::fromPalette(preview->palette());
    EXPECT_EQ(preview->look(colors).fill, colors.orange);
    EXPECT_EQ(preview->toolTip(), u"Stop Preview"_s);
    EXPECT_EQ(preview->symbol(), u"stop.circle"_s);

    shown.click(preview);
    EXPECT_FALSE(shown.model.isPreviewPlaying());
    EXPECT_EQ(preview->look(colors).fill.alpha(), 0);
    EXPECT_EQ(preview->look(colors).content, colors.label);
    EXPECT_EQ(preview->toolTip(), u"Preview Selection"_s);
    EXPECT_EQ(preview->symbol(), u"play.circle"_s);
    EXPECT_EQ(preview->accessibleName(), u"Preview Selection"_s);

    shown.click(shown.toolbar->editModeButton());
    EXPECT_FALSE(preview->isOn());
    shown.click(shown.toolbar->editModeButton());
    EXPECT_TRUE(shown.model.isPreviewPlaying()) << "select mode starts the preview";
    EXPECT_EQ(preview->look(colors).fill, colors.orange);
    EXPECT_EQ(preview->toolTip(), u"Stop Preview"_s);
}

TEST(Toolbar, ZoomTextFollowsTheModel) {
    ShownToolbar shown;
    EXPECT_EQ(shown.toolbar->zoomText()->text(), u"100%"_s);
    shown.model.setZoomScale(0.57);
    EXPECT_EQ(shown.toolbar->zoomText()->text(), u"57%"_s);
    EXPECT_EQ(shown.toolbar->zoomText()->width(), 44);
    EXPECT_TRUE(shown.toolbar->zoomText()->alignment() & Qt::AlignRight);
}

TEST(Captions, TakeTheSecondaryColourAgainWhenTheDesktopTurnsDark) {
    ShownToolbar shown;
    auto* status = static_cast<EosStatusBarView*>(shown.window->contentView()->statusBar());
    status->togglePopover();
    ASSERT_NE(status->consolePanel(), nullptr);
    const QList<QLabel*> captions = {shown.toolbar->zoomText(), status->caption(),
                                     status->consolePanel()->findChild<SecondaryLabel*>()};
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::PlaceholderText, QColor(0x98, 0x98, 0x9D));
    for (const QPalette& desktop : {dark, light}) {
        QApplication::setPalette(desktop);
        QCoreApplication::processEvents();
        for (QLabel* caption : captions)
            EXPECT_EQ(caption->palette().color(QPalette::WindowText),
                      desktop.color(QPalette::PlaceholderText))
                << caption->text().toStdString();
    }
}

TEST(ToolPicker, EachButtonChoosesItsToolAndShowsWhichIsActive) {
    ShownToolbar shown;
    shown.model.setMode(AppMode::edit);
    EditToolPicker* picker = shown.toolbar->toolPicker();
    const EditTool tools[] = {EditTool::addElement, EditTool::renumber, EditTool::selectElement,
                              EditTool::quickRenumber};
    for (const EditTool tool : tools) {
        shown.click(picker->button(tool));
        EXPECT_EQ(shown.model.editTool(), tool) << picker->button(tool)->title().toStdString();
        for (const EditTool other : tools)
            EXPECT_EQ(picker->button(other)->isActive(), other == tool);
    }
    // A tool button's tooltip is its title, but for the one whose title is short for it.
    EXPECT_EQ(picker->button(EditTool::renumber)->toolTip(), picker->button(EditTool::renumber)->title());
    EXPECT_EQ(picker->button(EditTool::quickRenumber)->toolTip(), u"Quick Renumber"_s);
    const SystemColors colors = SystemColors::fromPalette(picker->palette());
    EXPECT_EQ(picker->button(EditTool::quickRenumber)->look(colors).fill,
              SystemColors::withAlpha(colors.accent, 0.2));
    EXPECT_EQ(picker->button(EditTool::addElement)->look(colors).fill.alpha(), 0);
}

TEST(ToolPicker, QuickNumberTwiceOpensThenClosesThePopoverAndKeepsTheTool) {
    ShownToolbar shown;
    shown.model.setMode(AppMode::edit);
    EditToolPicker* picker = shown.toolbar->toolPicker();
    ToolButton* quick = picker->button(EditTool::quickRenumber);

    shown.click(quick);
    EXPECT_EQ(shown.model.editTool(), EditTool::quickRenumber);
    EXPECT_TRUE(shown.model.showQuickRenumberPanel());
    ASSERT_NE(picker->quickRenumberPopover(), nullptr);
    EXPECT_TRUE(picker->quickRenumberPopover()->isVisible());
    const QPoint below = quick->mapToGlobal(QPoint(0, quick->height()));
    EXPECT_GE(picker->quickRenumberPopover()->geometry().top(), below.y()) << "under the button";

    shown.click(quick);
    EXPECT_FALSE(shown.model.showQuickRenumberPanel());
    EXPECT_EQ(picker->quickRenumberPopover(), nullptr);
    EXPECT_EQ(shown.model.editTool(), EditTool::quickRenumber);

    // With the popover open, the press on "Quick #" reaches the popup first (it
    // holds the mouse); it closes it and must not be replayed to reopen it.
    shown.click(quick);
    Popover* popover = picker->quickRenumberPopover();
    ASSERT_NE(popover, nullptr);
    bool replayBlockedAtClose = false;
    QObject::connect(popover, &Popover::closed,
                     [&] { replayBlockedAtClose = popover->testAttribute(Qt::WA_NoMouseReplay); });
    QTest::mouseClick(popover, Qt::LeftButton, {},
                      popover->mapFromGlobal(quick->mapToGlobal(quick->rect().center())));
    EXPECT_FALSE(shown.model.showQuickRenumberPanel());
    EXPECT_TRUE(replayBlockedAtClose);
}

TEST(ToolPicker, DismissingThePopoverClearsTheFlag) {
    ShownToolbar shown;
    shown.model.setMode(AppMode::edit);
    shown.model.setShowQuickRenumberPanel(true);
    Popover* popover = shown.toolbar->toolPicker()->quickRenumberPopover();
    ASSERT_NE(popover, nullptr);
    QTest::keyClick(popover, Qt::Key_Escape);
    EXPECT_FALSE(shown.model.showQuickRenumberPanel());

    // Leaving edit mode takes the popover away with the picker.
    shown.model.setShowQuickRenumberPanel(true);
    ASSERT_NE(shown.toolbar->toolPicker()->quickRenumberPopover(), nullptr);
    shown.model.setMode(AppMode::select);
    EXPECT_FALSE(shown.model.showQuickRenumberPanel());
    EXPECT_EQ(shown.toolbar->toolPicker()->quickRenumberPopover(), nullptr);
}

TEST(KeyLegend, ChipsNameThePlatformKeysInTheMarqueeColours) {
    SelectKeyLegend legend;
    const QList<KeyChip*> chips = legend.chips();
    ASSERT_EQ(chips.size(), 4);
    const SystemColors colors = SystemColors::fromPalette(legend.palette());
    const struct {
        QString symbol;
        QString label;
        QColor color;
    } table[] = {
        {u"Shift"_s, u"vertical"_s, colors.purple},
        {u"Alt"_s, u"columns"_s, colors.green},
        {u"Ctrl"_s, u"rows"_s, colors.orange},
        {u"Meta"_s, u"diagonal"_s, colors.cyan},
    };
    for (qsizetype i = 0; i < chips.size(); ++i) {
        EXPECT_EQ(chips[i]->symbol(), table[i].symbol);
        EXPECT_EQ(chips[i]->label(), table[i].label);
        EXPECT_EQ(chips[i]->color(), table[i].color);
    }
    EXPECT_EQ(legend.accessibleName(), u"Modifier keys: Shift selects vertically, Alt selects columns, "
                                       u"Ctrl selects rows, Meta selects diagonally"_s);
}

TEST(KeyLegend, ChipColoursFollowTheDarkPalette) {
    KeyChip chip(u"Shift"_s, u"Vertical"_s, &SystemColors::purple);
    QPalette dark = chip.palette();
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    chip.setPalette(dark);
    EXPECT_EQ(chip.color(), QColor::fromRgb(0xBF5AF2));
}

} // namespace
} // namespace pexlora

namespace pexlora {
namespace {

// A 3 × 3 block of cells and marquees dragged over all of it on the canvas.
struct LatchedMarquee : ShownToolbar {
    GridCanvasView* canvas = window->contentView()->canvas();

    LatchedMarquee() {
        std::vector<GridPosition> cells;
        for (std::int64_t row = 1; row <= 3; ++row)
            for (std::int64_t col = 1; col <= 3; ++col)
                cells.push_back({col, row});
        model.placeElements(cells);
        canvas->setFocus();
    }
    // The selection the marquee leaves, with `keys` held from press to release.
    std::pair<SelectionGroups, MarqueeModifier> drag(Qt::KeyboardModifiers keys = {}) {
        const QPoint from = model.cellRect({0, 0}).center().toPoint();
        const QPoint to = model.cellRect({4, 4}).center().toPoint();
        QTest::mousePress(canvas, Qt::LeftButton, keys, from);
        QTest::mouseEvent(QTest::MouseMove, canvas, Qt::NoButton, keys, (from + to) / 2);
        QTest::mouseEvent(QTest::MouseMove, canvas, Qt::NoButton, keys, to);
        QTest::mouseRelease(canvas, Qt::LeftButton, keys, to);
        return {model.selectionGroups(), model.selectionModifier()};
    }
};

TEST(KeyLegend, EachChipLatchesTheOrderOfItsKeyUntilClickedAgainOrEscape) {
    LatchedMarquee shown;
    SelectKeyLegend* legend = shown.toolbar->keyLegend();
    const QList<KeyChip*> chips = legend->chips();
    ASSERT_EQ(chips.size(), 4);
    const Qt::KeyboardModifier keys[] = {Qt::ShiftModifier, Qt::AltModifier, Qt::ControlModifier,
                                         Qt::MetaModifier};
    const auto plain = shown.drag();
    for (qsizetype i = 0; i < chips.size(); ++i) {
        const auto held = shown.drag(keys[i]);
        ASSERT_NE(held.second, MarqueeModifier::none);
        shown.click(chips[i]);
        EXPECT_TRUE(chips[i]->isChecked());
        EXPECT_EQ(shown.model.latchedMarqueeModifier(), held.second);
        EXPECT_EQ(shown.drag(), held) << "chip " << i;
        // Again: the latch holds for every following marquee.
        EXPECT_EQ(shown.drag(), held) << "chip " << i;
        EXPECT_EQ(QApplication::focusWidget(), shown.canvas);
        shown.click(chips[i]);
        EXPECT_FALSE(chips[i]->isChecked());
        EXPECT_EQ(shown.drag(), plain) << "chip " << i;
    }

    // A key held wins while it is held; Escape on the canvas lets the chip go.
    shown.click(chips[1]);
    EXPECT_TRUE(legend->accessibleName().endsWith(u"; latched without the key: Alt selects columns"_s))
        << legend->accessibleName().toStdString();
    EXPECT_EQ(shown.drag(Qt::ShiftModifier), shown.drag(keys[0]));
    EXPECT_EQ(shown.drag().second, MarqueeModifier::option);
    shown.click(chips[2]); // one latch at a time
    EXPECT_FALSE(chips[1]->isChecked());
    EXPECT_TRUE(chips[2]->isChecked());
    QTest::keyClick(shown.canvas, Qt::Key_Escape);
    EXPECT_EQ(shown.model.latchedMarqueeModifier(), MarqueeModifier::none);
    EXPECT_FALSE(chips[2]->isChecked());
    EXPECT_FALSE(legend->accessibleName().contains(u"latched"_s));
    EXPECT_EQ(shown.drag(), plain);
}

// The Super keys are Meta: pressed while a marquee is dragged, they recolour it at once.
TEST(KeyLegend, SuperMidMarqueeIsMeta) {
    LatchedMarquee shown;
    const QPoint from = shown.model.cellRect({0, 0}).center().toPoint();
    QTest::mousePress(shown.canvas, Qt::LeftButton, {}, from);
    QTest::mouseEvent(QTest::MouseMove, shown.canvas, Qt::NoButton, {}, from + QPoint(90, 90));
    for (const Qt::Key super : {Qt::Key_Super_L, Qt::Key_Super_R}) {
        QTest::keyPress(shown.canvas, super);
        EXPECT_EQ(shown.model.marqueeModifier(), MarqueeModifier::control);
        QTest::keyRelease(shown.canvas, super, Qt::MetaModifier);
        EXPECT_EQ(shown.model.marqueeModifier(), MarqueeModifier::none);
    }
    QTest::mouseRelease(shown.canvas, Qt::LeftButton, {}, from + QPoint(90, 90));
}

// To a screen reader the legend is one element; the chips are not read out.
TEST(KeyLegend, IsOneAccessibleElement) {
    GridViewModel model;
    SelectKeyLegend legend(&model);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&legend);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->childCount(), 0);
    EXPECT_EQ(accessible->text(QAccessible::Name), legend.accessibleName());
    model.setLatchedMarqueeModifier(MarqueeModifier::control);
    EXPECT_TRUE(
        accessible->text(QAccessible::Name).endsWith(u"latched without the key: Meta selects diagonally"_s));
    EXPECT_TRUE(legend.chips()[3]->isChecked());
}

} // namespace
} // namespace pexlora
