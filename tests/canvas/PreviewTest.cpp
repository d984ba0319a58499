// SPDX-License-Identifier: GPL-3.0-or-later
#include "CanvasTestSupport.h"
#include "canvas/SelectionPreview.h"

using namespace pexlora;

namespace {

using Frames = std::vector<SelectionPreview::Frame>;

class Preview : public testing::Test {
protected:
    Preview()
        : preview(clock) {
        for (QUuid& id : ids)
            id = QUuid::createUuid();
    }
    void select(SelectionGroups groups, MarqueeModifier modifier) {
        model.setSelectionGroups(groups);
        model.setSelectionModifier(modifier);
        preview.synchronise(model);
    }
    // Ticks until the next frame is lit, as the timer would at 1/60 s.
    void advance(double seconds) {
        clock.time += seconds;
        preview.tick();
    }
    double glow(int i) const { return preview.glow(ids[i], clock.time); }

    test::FakeClock clock;
    GridViewModel model;
    SelectionPreview preview;
    QUuid ids[4];
};

TEST_F(Preview, OneOrderedRunStepsCellByCellAndGroupsStepWhole) {
    const auto& [a, b, c, d] = ids;
    EXPECT_EQ(SelectionPreview::previewFrames({{a, b, c}}, MarqueeModifier::none), (Frames{{a}, {b}, {c}}));
    EXPECT_EQ(SelectionPreview::previewFrames({{a, b, c}}, MarqueeModifier::shift), (Frames{{a}, {b}, {c}}));
    EXPECT_EQ(SelectionPreview::previewFrames({{a, b}, {c, d}}, MarqueeModifier::command),
              (Frames{{a, b}, {c, d}}));
    EXPECT_EQ(SelectionPreview::previewFrames({{a, b}}, MarqueeModifier::option), (Frames{{a, b}}));
    EXPECT_EQ(SelectionPreview::previewFrames({{a}, {b}}, MarqueeModifier::none), (Frames{{a}, {b}}));
    EXPECT_TRUE(SelectionPreview::previewFrames({{}}, MarqueeModifier::none).empty());
}

TEST_F(Preview, LitFramesAdvanceEverySixtyMillisecondsAndLeaveAFadingTrail) {
    select({{ids[0], ids[1], ids[2]}}, MarqueeModifier::none);
    ASSERT_TRUE(preview.isAnimating());
    EXPECT_EQ(glow(0), 1.0);
    EXPECT_EQ(glow(1), 0.0);
    advance(0.05);
    EXPECT_EQ(glow(0), 1.0) << "not yet";
    advance(0.01);
    EXPECT_EQ(glow(1), 1.0);
    EXPECT_EQ(glow(0), 1.0) << "the trail starts at full";
    clock.time += 0.275;
    EXPECT_NEAR(glow(0), 0.5, 1e-9) << "left 0.275 s ago";
    advance(0);
    EXPECT_EQ(glow(2), 1.0);
    EXPECT_NEAR(glow(0), 0.5, 1e-9);
    advance(0.06);
    EXPECT_EQ(glow(0), 1.0) << "after the last frame comes the first again";
    EXPECT_EQ(glow(2), 1.0);
    clock.time += 0.55;
    EXPECT_NEAR(glow(2), 0.0, 1e-9);
    clock.time += 0.1;
    EXPECT_EQ(glow(2), 0.0);
}

TEST_F(Preview, ASingleFrameStaysLitAndASingleCellNeedsNoTimer) {
    select({{ids[0], ids[1]}}, MarqueeModifier::option);
    advance(0.06);
    EXPECT_EQ(glow(0), 1.0);
    EXPECT_EQ(glow(1), 1.0) << "relit, no trail";
    select({{ids[3]}}, MarqueeModifier::none);
    EXPECT_FALSE(preview.isAnimating());
    EXPECT_EQ(glow(3), 1.0);
    EXPECT_EQ(glow(0), 0.0);
    preview.synchronise(model); // again, as on any change: no flicker, no timer
    EXPECT_EQ(glow(3), 1.0);
    EXPECT_FALSE(preview.isAnimating());
}

TEST_F(Preview, StopsWhenPreviewIsTurnedOffOrTheSelectionShrinks) {
    select({{ids[0], ids[1], ids[2]}}, MarqueeModifier::none);
    model.setPreviewPlaying(false);
    preview.tick();
    EXPECT_FALSE(preview.isLit());
    EXPECT_EQ(glow(0), 0.0);
    model.setPreviewPlaying(true);
    preview.synchronise(model);
    EXPECT_TRUE(preview.isAnimating());
    model.setSelectionGroups({});
    preview.synchronise(model);
    EXPECT_FALSE(preview.isLit());
}

TEST_F(Preview, ReportsTheCellsWhoseGlowChangesForRepainting) {
    std::vector<QSet<QUuid>> reports;
    QObject::connect(&preview, &SelectionPreview::cellsChanged,
                     [&](const QSet<QUuid>& changed) { reports.push_back(changed); });
    select({{ids[0], ids[1], ids[2], ids[3]}}, MarqueeModifier::none);
    advance(0.06);
    EXPECT_EQ(reports.back(), (QSet<QUuid>{ids[0], ids[1]}));
    advance(0.6); // ids[0]'s trail has gone dark: painted once more, then no longer reported
    EXPECT_TRUE(reports.back().contains(ids[0]));
    advance(0.06);
    EXPECT_FALSE(reports.back().contains(ids[0]));
}

} // namespace

namespace {

TEST(CanvasPreview, FollowsTheSelectionAndTheButtonWhileTheCanvasIsShown) {
    test::CanvasHarness c;
    c.model.placeElements(std::vector<GridPosition>{{0, 0}, {1, 0}});
    c.model.setSelectionGroups({{c.idAt({0, 0}), c.idAt({1, 0})}});
    EXPECT_TRUE(c.view->preview().isAnimating()) << "a new selection plays at once";
    c.model.setPreviewPlaying(false);
    EXPECT_FALSE(c.view->preview().isLit());
    c.model.setPreviewPlaying(true);
    EXPECT_TRUE(c.view->preview().isAnimating());
    c.view->hide();
    EXPECT_FALSE(c.view->preview().isLit());
    c.view->show();
    EXPECT_TRUE(c.view->preview().isAnimating()) << "shown again";
    c.model.setMode(AppMode::edit); // which turns the preview off
    EXPECT_FALSE(c.view->preview().isLit());
    c.model.setMode(AppMode::select); // and on again
    EXPECT_TRUE(c.view->preview().isAnimating());
}

} // namespace
