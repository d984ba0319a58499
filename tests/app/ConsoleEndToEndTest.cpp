// SPDX-License-Identifier: GPL-3.0-or-later
// The console's answers in the real window, against pexlora-console-sim on loopback:
// the desk's command line and its selection after a recorded group, the framing
// and the version, and a new layout read from the desk's patch.
#include "AppTestSupport.h"
#include "app/console/ConsolePatchImport.h"
#include "app/console/EosConsolePopover.h"
#include "app/console/EosStatusBarView.h"
#include "app/console/EosStatusButton.h"
#include "app/console/LiveLevelsFollower.h"
#include "app/console/RecGroupPopover.h"
#include "app/console/SelectionBarView.h"
#include "app/window/ContentView.h"
#include "canvas/GridCanvasView.h"
#include "model/PatchLayout.h"
#include "widgets/ElidedLabel.h"
#include "widgets/Popover.h"

#include <QAction>
#include <map>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QUdpSocket>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class ConsoleEndToEnd : public ::testing::Test {
protected:
    void start(QStringList arguments) {
        simulator =
            test::startSimulator(arguments << u"--tcp-port"_s << u"0"_s << u"--discovery-port"_s << u"0"_s);
        ASSERT_TRUE(simulator) << "the simulator did not start";
        fixture = std::make_unique<test::AppFixture>(simulator->discoveryPort);
        fixture->app->setSacnOptions({sacnPort});
        window = fixture->app->newDocument();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        status = qobject_cast<EosStatusBarView*>(window->contentView()->statusBar());
    }
    EosConnectionManager& manager() { return fixture->app->eosManager(); }
    void connectAsAUser() { test::connectAsAUser(status, manager(), *simulator); }
    QString ringed(DocumentWindow* w) const {
        QStringList numbers;
        for (const GridElement& e : w->viewModel()->elements())
            if (w->contentView()->canvas()->consoleSelection().contains(e.id))
                numbers.append(e.numberString);
        return numbers.join(u' ');
    }

    std::uint16_t sacnPort = 0; // where the program hears sACN: the system's choice
    std::optional<test::Simulator> simulator;
    std::unique_ptr<test::AppFixture> fixture;
    DocumentWindow* window = nullptr;
    EosStatusBarView* status = nullptr;
};

TEST_F(ConsoleEndToEnd, ARecordedGroupComesBackAsTheDesksCommandLineAndItsCellsRinged) {
    start({u"--framing"_s, u"length"_s});
    GridViewModel* model = window->viewModel();
    GridCanvasView* canvas = window->contentView()->canvas();
    std::vector<GridPosition> row;
    for (std::int64_t col = 1; col <= 8; ++col)
        row.push_back({col, 1});
    model->placeElements(row); // numbers 1 to 8

    connectAsAUser();
    EXPECT_EQ(status->statusButton()->text(), u"Eos Connected 127.0.0.1"_s);
    EXPECT_EQ(status->caption()->text(), u"OSC 1.0"_s) << "found without the user choosing";
    EosConsolePopover* console = status->consolePanel();
    ASSERT_NE(console, nullptr);
    ASSERT_TRUE(test::waitFor([&] { return console->consoleVersion()->isVisibleTo(console); }));
    EXPECT_TRUE(console->consoleVersion()->text().startsWith(u"Console version "_s));
    EXPECT_FALSE(console->consoleState()->isVisibleTo(console)) << "an answering console needs no note";
    QTest::keyClick(status->consolePopover(), Qt::Key_Escape);

    // A marquee from the empty cell (0, 0) over cells 1 to 4, then Rec. Group 12.
    const auto at = [&](GridPosition p) { return model->cellRect(p).center().toPoint(); };
    QTest::mousePress(canvas, Qt::LeftButton, {}, at({0, 0}));
    QTest::mouseMove(canvas, at({2, 1}));
    QTest::mouseMove(canvas, at({4, 1}));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, at({4, 1}));
    ASSERT_EQ(model->flatSelection().size(), 4u);
    auto* bar = qobject_cast<SelectionBarView*>(window->contentView()->selectionBar());
    QTest::keyClick(window, Qt::Key_G, Qt::ControlModifier);
    ASSERT_NE(bar->recGroupPanel(), nullptr);
    QTest::keyClicks(bar->recGroupPanel()->field(), u"12"_s);
    QTest::keyClick(bar->recGroupPanel()->field(), Qt::Key_Return);

    ElidedLabel* line = status->commandLine();
    ASSERT_TRUE(test::waitFor([&] { return line->text().contains(u"Group 12"_s); }))
        << "command line: " << line->text().toStdString();
    EXPECT_EQ(test::tooltipAsShown(line->toolTip()), line->text());
    EXPECT_EQ(ringed(window), QString()) << "recording as user 91 selects nothing at the desk";

    // The operator at the desk calls the group up, then one channel, whose label and address hold numbers.
    manager().send(u"/eos/user/1/newcmd"_s, u"Group 12 Enter"_s);
    ASSERT_TRUE(test::waitFor([&] { return ringed(window) == u"1 2 3 4"_s; }))
        << ringed(window).toStdString();
    manager().send(u"/eos/user/1/newcmd"_s, u"Chan 2 Enter"_s);
    ASSERT_TRUE(test::waitFor([&] { return ringed(window) == u"2"_s; }))
        << ringed(window).toStdString() << " from " << manager().consoleActiveChannels().toStdString();
    EXPECT_EQ(manager().consoleActiveChannels(), u"2 [0] FOH 2 Source Four 19deg @ 1/2"_s);
}

TEST_F(ConsoleEndToEnd, ANewLayoutFromTheDesksPatchIsAnUntitledEditedDocument) {
    start({});
    connectAsAUser();
    QTest::keyClick(status->consolePopover(), Qt::Key_Escape);
    auto* fromPatch = window->findChild<QAction*>(u"fileNewFromConsolePatch"_s);
    ASSERT_NE(fromPatch, nullptr);
    ASSERT_TRUE(fromPatch->isEnabled()) << "the console answers";

    const qsizetype before = fixture->app->windows().size();
    fromPatch->trigger();
    ASSERT_TRUE(test::waitFor([&] { return fixture->app->windows().size() == before + 1; }));
    DocumentWindow* made = fixture->app->windows().last();
    const GridElements& cells = made->viewModel()->elements();
    ASSERT_EQ(cells.size(), 58u) << "the simulator's patch: 1-48 and 101-110";
    EXPECT_EQ(cells[47].numberString, u"48"_s);
    EXPECT_EQ(cells[47].position, (GridPosition{7, 4}));
    EXPECT_EQ(cells[48].numberString, u"101"_s);
    EXPECT_EQ(cells[48].position, (GridPosition{0, 11})) << "by its number, after an empty row";
    EXPECT_TRUE(made->windowTitle().startsWith(u"Untitled"_s));
    EXPECT_TRUE(made->isWindowModified());
    EXPECT_EQ(made->findChild<QWidget*>(u"patchMissingNote"_s), nullptr) << "nothing went missing";
    ASSERT_TRUE(QTest::qWaitForWindowActive(made));
    QTest::keyClick(made, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(made->viewModel()->elements().empty()) << "one step of undo takes the cells back";
    EXPECT_FALSE(made->isWindowModified());
}

TEST_F(ConsoleEndToEnd, AsHungTheRigIsSeenFromAboveWithTheFrontOfHouseAtTheBottom) {
    start({});
    connectAsAUser();
    QTest::keyClick(status->consolePopover(), Qt::Key_Escape);
    fixture->scripted->arrangementAnswers.push_back(PatchArrangement{true, 0.5});
    const qsizetype before = fixture->app->windows().size();
    ASSERT_NE(fixture->app->newLayoutFromConsolePatch(window), nullptr);
    ASSERT_TRUE(test::waitFor([&] { return fixture->app->windows().size() == before + 1; }, 15s));
    DocumentWindow* made = fixture->app->windows().last();
    std::map<QString, GridPosition> at;
    for (const GridElement& cell : made->viewModel()->elements())
        at[cell.numberString] = cell.position;
    ASSERT_EQ(at.size(), 58u);
    // The simulator hangs a unit a metre from the next, the front of house 6 m downstage of
    // the setting line, the 1st electric 1 m and the 4th 6.5 m upstage of it.
    EXPECT_EQ(at[u"2"_s].col - at[u"1"_s].col, 2) << "a metre is two cells of half a metre";
    EXPECT_EQ(at[u"101"_s].row, 0) << "the furthest upstage on top";
    EXPECT_EQ(at[u"13"_s].row, 15);
    EXPECT_EQ(at[u"1"_s].row, 25);
    EXPECT_EQ(made->findChild<QMessageBox*>(u"patchMissingNote"_s), nullptr);
}

TEST_F(ConsoleEndToEnd, LevelsTypedAtTheDeskLightTheCellsOfTheirChannels) {
    {
        // A port free a moment ago, for the simulator to send to before the program listens.
        QUdpSocket probe;
        ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
        sacnPort = probe.localPort();
    }
    start({u"--sacn"_s, u"127.0.0.1"_s, u"--sacn-port"_s, QString::number(sacnPort)});
    window->viewModel()->placeCells(patchLayout({1, 2, 3, 4, 5, 6, 37, 999}));
    connectAsAUser();
    QTest::keyClick(status->consolePopover(), Qt::Key_Escape);
    GridCanvasView* canvas = window->contentView()->canvas();
    std::map<QString, QUuid> cell;
    for (const GridElement& e : window->viewModel()->elements())
        cell[e.numberString] = e.id;
    ASSERT_TRUE(test::waitFor([&] { return canvas->cellLevels().isUnpatched(cell[u"999"_s]); }, 15s))
        << "the patch read, 999 is not in it";

    manager().send(u"/eos/newcmd"_s, u"Chan 1 Thru 5 + 37 At 75 Enter"_s);
    const auto levels = [&] {
        QStringList shown;
        for (const auto& [number, id] : cell)
            shown.append(number + u'=' +
                         (canvas->cellLevels().percent(id) ? QString::number(*canvas->cellLevels().percent(id))
                                                           : u"-"_s));
        return shown.join(u' ');
    };
    ASSERT_TRUE(test::waitFor([&] { return levels() == u"1=75 2=75 3=75 37=75 4=75 5=75 6=0 999=-"_s; }, 15s))
        << levels().toStdString();
    EXPECT_EQ(status->levelsCaption()->text(), u"sACN: Eos (Pexlora simulator) · 1 universe"_s);
    const GridElement* first = window->viewModel()->element(cell[u"1"_s]);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(window->liveLevels()->toolTip(*first),
              u"Channel 1 · FOH 1\nETC Source Four 19deg\nDMX 1/1\nLevel 75 %"_s);

    window->findChild<QAction*>(u"viewLiveLevels"_s)->trigger();
    EXPECT_EQ(levels(), u"1=- 2=- 3=- 37=- 4=- 5=- 6=- 999=-"_s) << "View ▸ Show Live Levels off";
}

TEST_F(ConsoleEndToEnd, ALostPatchReplyLeavesItsChannelOutAndSaysSo) {
    start({u"--lose-patch-reply"_s, u"3"_s});
    connectAsAUser();
    QTest::keyClick(status->consolePopover(), Qt::Key_Escape);
    const qsizetype before = fixture->app->windows().size();
    ASSERT_NE(fixture->app->newLayoutFromConsolePatch(window), nullptr);
    ASSERT_TRUE(test::waitFor([&] { return fixture->app->windows().size() == before + 1; }, 15s));
    DocumentWindow* made = fixture->app->windows().last();
    EXPECT_EQ(made->viewModel()->elements().size(), 57u);
    auto* note = made->findChild<QMessageBox*>(u"patchMissingNote"_s);
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), ConsolePatchImport::missingText(1));
    EXPECT_TRUE(note->text().startsWith(u"1 channel of"_s)) << note->text().toStdString();
}

TEST_F(ConsoleEndToEnd, CancellingAPatchImportOpensNoWindow) {
    start({u"--patch"_s, u"1-2000"_s});
    connectAsAUser();
    QTest::keyClick(status->consolePopover(), Qt::Key_Escape);
    const qsizetype before = fixture->app->windows().size();
    QPointer<ConsolePatchImport> import = fixture->app->newLayoutFromConsolePatch(window);
    ASSERT_TRUE(import);
    ASSERT_NE(import->progressDialog(), nullptr);
    EXPECT_EQ(import->progressDialog()->minimumDuration(), ConsolePatchImport::progressDelayMs);
    // The dialog's Cancel button, as the user would press it once it shows.
    auto* cancel = import->progressDialog()->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), u"Cancel"_s);
    cancel->click();
    ASSERT_TRUE(test::waitFor([&] { return import.isNull(); }));
    EXPECT_EQ(fixture->app->windows().size(), before);
}

} // namespace
} // namespace pexlora
