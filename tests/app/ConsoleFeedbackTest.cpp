// SPDX-License-Identifier: GPL-3.0-or-later
// The console's feedback in a real window: the rings follow the console's active
// channels and the layout, the View menu switches them, and the patch import
// tells when it cannot make a layout.
#include "AppTestSupport.h"
#include "app/console/ConsolePatchImport.h"
#include "app/console/ConsoleSelectionFollower.h"
#include "app/window/ContentView.h"
#include "canvas/GridCanvasView.h"

#include <QAction>
#include <QTest>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;

class ConsoleFeedback : public ::testing::Test {
protected:
    ConsoleFeedback() {
        window = fixture.app->newDocument();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        model = window->viewModel();
        model->placeElements(std::vector<GridPosition>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}});
    }
    // The numbers of the ringed cells, ascending by position.
    QString ringed() const {
        QStringList numbers;
        for (const GridElement& e : model->elements())
            if (window->contentView()->canvas()->consoleSelection().contains(e.id))
                numbers.append(e.numberString);
        return numbers.join(u' ');
    }
    QAction* action(const char* name) const { return window->findChild<QAction*>(QString::fromLatin1(name)); }

    test::AppFixture fixture;
    DocumentWindow* window = nullptr;
    GridViewModel* model = nullptr;
};

TEST_F(ConsoleFeedback, RingsFollowTheConsoleTheLayoutAndTheViewMenu) {
    ConsoleSelectionFollower* follower = window->consoleSelection();
    follower->follow(u"2-3, 5 [80]"_s);
    EXPECT_EQ(ringed(), u"2 3 5"_s);

    // Renumbering a cell into the console's channels rings it; one out of them loses its ring.
    model->applyNumber(model->elements()[0].id, u"0005"_s);
    model->applyNumber(model->elements()[2].id, u"9"_s);
    EXPECT_EQ(ringed(), u"0005 2 5"_s);

    QAction* show = action("viewConsoleSelection");
    ASSERT_NE(show, nullptr);
    show->trigger();
    EXPECT_FALSE(follower->isShown());
    EXPECT_EQ(ringed(), u""_s);
    follower->follow(u"4"_s);
    EXPECT_EQ(ringed(), u""_s) << "hidden rings stay hidden when the console moves on";
    show->trigger();
    EXPECT_EQ(ringed(), u"4"_s);
    follower->follow(QString());
    EXPECT_EQ(ringed(), u""_s);
}

TEST_F(ConsoleFeedback, APatchImportWithoutAConsoleSaysSoAndOpensNoWindow) {
    const qsizetype windows = fixture.app->windows().size();
    ConsolePatchImport* import = fixture.app->newLayoutFromConsolePatch(window);
    ASSERT_NE(import, nullptr);
    EXPECT_EQ(fixture.app->newLayoutFromConsolePatch(window), nullptr) << "one import at a time";
    QPointer<ConsolePatchImport> running(import);
    ASSERT_TRUE(test::waitFor([&] { return running.isNull(); }));
    ASSERT_EQ(fixture.scripted->errors.size(), 1u);
    EXPECT_EQ(fixture.scripted->errors[0].text, u"No layout could be made from the console's patch."_s);
    EXPECT_FALSE(fixture.scripted->errors[0].waitedFor)
        << "a box that waits would run the event loop inside the link's read";
    EXPECT_EQ(fixture.app->windows().size(), windows);
}

TEST(ConsolePatchImportFailure, TheReasonSaysWhatTheConsoleDidAndDidNotTell) {
    // Each an import that brought no channels.
    const struct {
        int total;
        int missing;
        bool failed;
        QString reason;
    } table[] = {
        {0, 0, true, u"The console did not tell how many channels it has."_s},
        {58, 20, true, u"The link to the console was lost while its patch was being read."_s},
        {0, 0, false, u"The console has no channels patched."_s},
        {1, 1, false, u"The console's only patch entry did not answer."_s},
        {58, 58, false, u"None of the console's 58 patch entries answered."_s},
    };
    for (const auto& row : table) {
        EosPatchResult result;
        result.total = row.total;
        result.missing = row.missing;
        result.failed = row.failed;
        EXPECT_EQ(ConsolePatchImport::failureReason(result), row.reason) << row.total << " " << row.failed;
    }
}

TEST(ConsolePatchImportLayout, AsHungWithoutAnyPositionFallsBackToTheChannelOrderAndSaysSo) {
    EosPatchResult result;
    result.channels = {1, 12};
    for (const int channel : result.channels) {
        EosPatchPart part;
        part.channel = channel;
        result.parts.push_back(part);
    }
    bool unplaced = false;
    const GridElements cells = ConsolePatchImport::cellsFor(result, PatchArrangement{true, 0.5}, &unplaced);
    EXPECT_TRUE(unplaced);
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[1].position, (GridPosition{1, 1})) << "12 by its number";

    // One channel placed is enough for the rig; the other goes below it.
    result.parts[0].position = EosRigPosition{0, 0, 5};
    EXPECT_EQ(ConsolePatchImport::cellsFor(result, PatchArrangement{true, 0.5}, &unplaced).size(), 2u);
    EXPECT_FALSE(unplaced);
}

} // namespace
} // namespace pexlora
