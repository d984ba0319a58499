// SPDX-License-Identifier: GPL-3.0-or-later
// From cells placed with the mouse to a group on the console: the real window, the
// console popover, the canvas, the selection bar and pexlora-console-sim on loopback.
#include "AppTestSupport.h"
#include "app/console/EosConsolePopover.h"
#include "app/console/EosStatusBarView.h"
#include "app/console/EosStatusButton.h"
#include "app/console/RecGroupPopover.h"
#include "app/console/SelectionBarView.h"
#include "app/window/ContentView.h"
#include "app/window/EditToolPicker.h"
#include "app/window/GridToolbarContent.h"
#include "app/window/ToolButton.h"
#include "canvas/GridCanvasView.h"
#include "widgets/CapsuleToggleButton.h"

#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;

TEST(RecordGroupEndToEnd, AnAltMarqueeOverPlacedCellsArrivesAtTheConsoleAsItsColumns) {
    auto simulator = test::startSimulator({u"--tcp-port"_s, u"0"_s, u"--discovery-port"_s, u"0"_s});
    ASSERT_TRUE(simulator) << "the simulator did not start";
    test::AppFixture fixture(simulator->discoveryPort);
    DocumentWindow* window = fixture.app->newDocument();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    auto* status = qobject_cast<EosStatusBarView*>(window->contentView()->statusBar());
    auto* bar = qobject_cast<SelectionBarView*>(window->contentView()->selectionBar());
    GridCanvasView* canvas = window->contentView()->canvas();
    GridViewModel* model = window->viewModel();

    test::connectAsAUser(status, fixture.app->eosManager(), *simulator);
    EXPECT_EQ(status->statusButton()->text(), u"Eos Connected 127.0.0.1"_s);
    QTest::keyClick(status->consolePopover(), Qt::Key_Escape);

    // Edit mode, Add tool: a line down column 1 (1, 2, 3), then two clicks in column 2 (4, 5).
    QTest::mouseClick(window->toolbarContent()->editModeButton(), Qt::LeftButton);
    QTest::mouseClick(window->toolbarContent()->toolPicker()->button(EditTool::addElement), Qt::LeftButton);
    ASSERT_EQ(model->editTool(), EditTool::addElement);
    const auto at = [&](GridPosition p) { return model->cellRect(p).center().toPoint(); };
    QTest::mousePress(canvas, Qt::LeftButton, {}, at({1, 1}));
    QTest::mouseMove(canvas, at({1, 2}));
    QTest::mouseMove(canvas, at({1, 3}));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, at({1, 3}));
    QTest::mouseClick(canvas, Qt::LeftButton, {}, at({2, 1}));
    QTest::mouseClick(canvas, Qt::LeftButton, {}, at({2, 2}));
    ASSERT_EQ(model->elements().size(), 5u);

    // Select mode, and a marquee with Alt from the empty cell (0, 0) to beyond (2, 3).
    QTest::mouseClick(window->toolbarContent()->editModeButton(), Qt::LeftButton);
    ASSERT_EQ(model->mode(), AppMode::select);
    QTest::mousePress(canvas, Qt::LeftButton, Qt::AltModifier, at({0, 0}));
    QTest::mouseEvent(QTest::MouseMove, canvas, Qt::NoButton, Qt::AltModifier, at({2, 2}));
    QTest::mouseEvent(QTest::MouseMove, canvas, Qt::NoButton, Qt::AltModifier, at({3, 4}));
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::AltModifier, at({3, 4}));
    ASSERT_EQ(model->selectionModifier(), MarqueeModifier::option);
    EXPECT_EQ(bar->selectionLabel()->text(), u"(1,2,3) + (4,5)"_s);

    // A number typed and dismissed sends nothing; the next press starts empty.
    QTest::keyClick(window, Qt::Key_G, Qt::ControlModifier);
    ASSERT_NE(bar->recGroupPanel(), nullptr);
    QTest::keyClicks(bar->recGroupPanel()->field(), u"7"_s);
    QTest::keyClick(bar->recGroupPanel()->field(), Qt::Key_Escape);
    ASSERT_EQ(bar->recGroupPopover(), nullptr);
    QTest::keyClick(window, Qt::Key_G, Qt::ControlModifier);
    RecGroupPopover* number = bar->recGroupPanel();
    ASSERT_NE(number, nullptr);
    EXPECT_TRUE(number->text().isEmpty());
    QTest::keyClicks(number->field(), u"12"_s);
    QTest::keyClick(number->field(), Qt::Key_Return);
    EXPECT_EQ(bar->recGroupPopover(), nullptr) << "submitting closes the popover";

    // The desk's group read back holds the channels sent, in order, and the bar says so.
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->recordingReport()->text() == u"Group 12 recorded: 5 channels"_s; }))
        << bar->recordingReport()->text().toStdString();
    const auto containing = [](const QString& text) {
        return [text](const QString& line) { return line.contains(text); };
    };
    ASSERT_TRUE(simulator->child->waitForLine(containing(u"/eos/set/group/12/chans"_s)));
    QStringList messages;
    for (const QString& line : simulator->child->lines())
        // The link's own questions (ping, version, the groups) aside.
        if (line.startsWith(u"Message from "_s) &&
            (line.contains(u"/eos/user/91/"_s) || line.contains(u"/eos/set/"_s)))
            messages.append(line.section(u": "_s, 1, -1));
    EXPECT_EQ(messages.join(u'\n').toStdString(),
              R"x(OSCMessage("/eos/user/91/newcmd", values: ["Chan 1 Thru 5 Enter"]))x"
              "\n"
              R"x(OSCMessage("/eos/user/91/newcmd", values: ["Record Group 12 Enter"]))x"
              "\n"
              R"x(OSCMessage("/eos/set/group/12/chans", values: ["(1 > 3) (4 > 5)"]))x");

    // Group 12 is the desk's now: the first Return asks, the second replaces.
    QTest::keyClick(window, Qt::Key_G, Qt::ControlModifier);
    number = bar->recGroupPanel();
    ASSERT_NE(number, nullptr);
    QTest::keyClicks(number->field(), u"12"_s);
    EXPECT_EQ(number->groupLine()->text(), u"Replaces group 12 (5 channels)"_s);
    QTest::keyClick(number->field(), Qt::Key_Return);
    ASSERT_NE(bar->recGroupPopover(), nullptr) << "not replaced by the first Return";
    EXPECT_EQ(number->recordButton()->text(), u"Replace Group 12"_s);
    QTest::keyClick(number->field(), Qt::Key_Return);
    EXPECT_EQ(bar->recGroupPopover(), nullptr);
    ASSERT_TRUE(simulator->child->waitForLine(containing(u"Record Group 12 Enter"_s)))
        << simulator->child->lines().join(u'\n').toStdString();
}

} // namespace
} // namespace pexlora
