// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelTestSupport.h"
#include "model/PersistedState.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

using namespace pexlora;
using test::SignalCounter;

TEST(GridViewModel, StartsWithTheDefaults) {
    GridViewModel model;
    EXPECT_TRUE(model.elements().empty());
    EXPECT_TRUE(model.selectionGroups().empty());
    EXPECT_EQ(model.selectionModifier(), MarqueeModifier::none);
    EXPECT_TRUE(model.editSelectedIDs().isEmpty());
    EXPECT_EQ(model.mode(), AppMode::select);
    EXPECT_EQ(model.editTool(), EditTool::selectElement);
    EXPECT_TRUE(model.isPreviewPlaying());
    EXPECT_EQ(model.zoomScale(), 1.0);
    EXPECT_EQ(model.panOffset(), QSizeF(0, 0));
    EXPECT_EQ(GridViewModel::baseCellSize, 60.0);
    EXPECT_FALSE(model.editingElementID());
    EXPECT_EQ(model.editingElementText(), QString());
    EXPECT_FALSE(model.marqueeStart());
    EXPECT_FALSE(model.marqueeEnd());
    EXPECT_EQ(model.marqueeModifier(), MarqueeModifier::none);
    EXPECT_FALSE(model.showQuickRenumberPanel());
    EXPECT_EQ(model.quickRenumberNext(), QStringLiteral("1"));
    EXPECT_EQ(model.quickRenumberIncrement(), QStringLiteral("1"));
    EXPECT_TRUE(model.positionIndex().isEmpty());
    EXPECT_FALSE(model.isDirty());
}

TEST(Observation, AssigningAnEqualValueIsSilent) {
    GridViewModel model;
    model.placeElement({0, 0});
    const QUuid id = test::idAt(model, {0, 0});
    model.setSelectionGroups({{id}});
    model.setEditSelectedIDs({id});
    model.setPanOffset({1.5, -2});
    model.setMarqueeStart(QPointF(3, 4));
    model.setEditingElementID(id);

    SignalCounter changes(model);
    model.setSelectionGroups({{id}});
    model.setSelectionModifier(MarqueeModifier::none);
    model.setEditSelectedIDs({id});
    model.setEditTool(EditTool::selectElement);
    model.setPreviewPlaying(true);
    model.setZoomScale(1.0);
    model.setPanOffset({1.5, -2});
    model.setEditingElementID(id);
    model.setEditingElementText(QString());
    model.setMarqueeStart(QPointF(3, 4));
    model.setMarqueeEnd(std::nullopt);
    model.setMarqueeModifier(MarqueeModifier::none);
    model.setShowQuickRenumberPanel(false);
    model.setQuickRenumberNext(QStringLiteral("1"));
    model.setQuickRenumberIncrement(QStringLiteral("1"));
    EXPECT_EQ(changes.total(), 0);
}

TEST(Observation, EachRealChangeSignalsOnceAndOnlyItsField) {
    GridViewModel model;
    SignalCounter changes(model);
    model.setZoomScale(2.0);
    model.setPanOffset({0, 0.25});
    model.setMarqueeStart(QPointF(0, 0));
    model.setEditingElementText(QStringLiteral("7"));
    EXPECT_EQ(changes.count("zoomScaleChanged"), 1);
    EXPECT_EQ(changes.count("panOffsetChanged"), 1);
    EXPECT_EQ(changes.count("marqueeStartChanged"), 1);
    EXPECT_EQ(changes.count("editingElementTextChanged"), 1);
    EXPECT_EQ(changes.total(), 4);
}

TEST(Observation, TinyDifferencesCountAsChanges) {
    // Qt's own comparison of sizes and points is fuzzy; the model's is exact.
    GridViewModel model;
    model.setPanOffset({100, 100});
    SignalCounter changes(model);
    model.setPanOffset({100 + 1e-9, 100});
    model.setMarqueeStart(QPointF(0, 0));
    model.setMarqueeStart(QPointF(0, 1e-12));
    EXPECT_EQ(changes.count("panOffsetChanged"), 1);
    EXPECT_EQ(changes.count("marqueeStartChanged"), 2);
}

TEST(Observation, NaNNeverEqualsItself) {
    GridViewModel model;
    SignalCounter changes(model);
    model.setZoomScale(std::nan(""));
    model.setZoomScale(std::nan(""));
    EXPECT_EQ(changes.count("zoomScaleChanged"), 2);
}

TEST(Observation, InPlaceCollectionChangesAlwaysSignalOnce) {
    GridViewModel model;
    SignalCounter changes(model);
    model.placeElement({0, 0});
    EXPECT_EQ(changes.count("elementsChanged"), 1);
    const QUuid id = test::idAt(model, {0, 0});
    model.toggleEditSelection(id);
    model.toggleEditSelection(id);
    EXPECT_EQ(changes.count("editSelectedIDsChanged"), 2);
    model.applyNumber(id, QStringLiteral("1"));
    EXPECT_EQ(changes.count("elementsChanged"), 2);
}

TEST(ModeChange, SwitchesThePreviewWithTheMode) {
    GridViewModel model;
    model.setMode(AppMode::edit);
    EXPECT_FALSE(model.isPreviewPlaying());
    model.setMode(AppMode::select);
    EXPECT_TRUE(model.isPreviewPlaying());
    model.setPreviewPlaying(false);
    model.setMode(AppMode::select);
    EXPECT_TRUE(model.isPreviewPlaying()) << "even re-entering the same mode restarts the preview";
}

TEST(ModeChange, KeepsSelectionsToolAndRenumberState) {
    GridViewModel model;
    model.placeElement({0, 0});
    const QUuid id = test::idAt(model, {0, 0});
    model.selectSingle(id);
    model.setEditSelectedIDs({id});
    model.setEditTool(EditTool::renumber);
    model.beginRenumber(id);
    model.setMode(AppMode::edit);
    model.setMode(AppMode::select);
    EXPECT_EQ(model.selectionGroups(), SelectionGroups{{id}});
    EXPECT_EQ(model.editSelectedIDs(), QSet<QUuid>{id});
    EXPECT_EQ(model.editTool(), EditTool::renumber);
    EXPECT_EQ(model.editingElementID(), id);
}

TEST(Geometry, MapsCellsAndPointsThroughZoomAndPan) {
    GridViewModel model;
    model.setZoomScale(2);
    model.setPanOffset({-30, 10});
    EXPECT_EQ(model.cellSize(), 120);
    EXPECT_EQ(model.cellRect({1, 0}), QRectF(90, 10, 120, 120));
    EXPECT_EQ(model.gridPosition({100, 100}), (GridPosition{1, 0}));
    EXPECT_EQ(model.gridPosition({-50, 5}), (GridPosition{0, 0}));
    EXPECT_EQ(model.gridPosition({90, 130}), (GridPosition{1, 1}))
        << "a point on a boundary belongs to the next cell";
    EXPECT_EQ(model.gridPosition({89.999, 129.999}), (GridPosition{0, 0}));
}

TEST(Geometry, AbsurdZoomOrPointsStayInsideTheCoordinateRange) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    const double nan = std::nan("");
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    GridViewModel model;
    model.setZoomScale(0);
    EXPECT_EQ(model.gridPosition({10, -10}), (GridPosition{max, 0}));
    EXPECT_EQ(model.gridPosition({0, 0}), (GridPosition{0, 0})) << "0 / 0 is NaN";
    model.setZoomScale(nan);
    EXPECT_EQ(model.gridPosition({10, 10}), (GridPosition{0, 0}));
    model.setZoomScale(inf);
    EXPECT_EQ(model.gridPosition({10, 10}), (GridPosition{0, 0}));
    model.setZoomScale(1);
    EXPECT_EQ(model.gridPosition({1e300, -1e300}), (GridPosition{max, 0}));
    EXPECT_EQ(model.gridPosition({inf, nan}), (GridPosition{max, 0}));
    model.setPanOffset({-inf, inf});
    EXPECT_EQ(model.gridPosition({0, 0}), (GridPosition{max, 0}));
}

TEST(DirtyFlag, ViewAndSelectionChangesLeaveItClear) {
    GridViewModel model;
    model.placeElement({0, 0});
    const QUuid id = test::idAt(model, {0, 0});
    test::clearDirty(model);
    SignalCounter changes(model);
    model.setZoomScale(3);
    model.setPanOffset({5, 5});
    model.setMode(AppMode::edit);
    model.setEditTool(EditTool::addElement);
    model.setShowQuickRenumberPanel(true);
    model.setQuickRenumberNext(QStringLiteral("5"));
    model.setQuickRenumberIncrement(QStringLiteral("2"));
    model.selectSingle(id);
    model.toggleEditSelection(id);
    model.selectInEditMarquee({0, 0}, {100, 100});
    model.beginRenumber(id);
    model.setEditingElementID(std::nullopt); // the canvas's cancel
    model.setMarqueeStart(QPointF(0, 0));
    model.setMarqueeEnd(QPointF(100, 100));
    model.finishMarquee();
    model.moveEditSelection(0, 0);
    EXPECT_FALSE(model.isDirty());
    EXPECT_EQ(changes.count("isDirtyChanged"), 0);
}

TEST(DirtyFlag, SetByEveryLayoutOperationAndSignalledOnce) {
    struct Case {
        const char* name;
        std::function<void(GridViewModel&, const QUuid&)> operation;
        bool dirties;
    };
    const Case cases[] = {
        {"place on a free position",
         [](GridViewModel& m, const QUuid&) {
             m.placeElement({5, 5});
         },
         true},
        {"place on a taken position",
         [](GridViewModel& m, const QUuid&) {
             m.placeElement({0, 0});
         },
         false},
        {"apply a valid number",
         [](GridViewModel& m, const QUuid& id) { m.applyNumber(id, QStringLiteral("12")); }, true},
        {"apply an invalid number",
         [](GridViewModel& m, const QUuid& id) { m.applyNumber(id, QStringLiteral("12345")); }, false},
        {"apply to a missing element",
         [](GridViewModel& m, const QUuid&) { m.applyNumber(QUuid::createUuid(), QStringLiteral("2")); },
         false},
        {"commit a renumber",
         [](GridViewModel& m, const QUuid& id) {
             m.beginRenumber(id);
             m.setEditingElementText(QStringLiteral("3"));
             m.commitRenumber();
         },
         true},
        {"quick renumber with a number too long to apply",
         [](GridViewModel& m, const QUuid& id) {
             m.setQuickRenumberNext(QStringLiteral("10000"));
             m.applyQuickRenumber(id);
         },
         true},
        {"quick renumber of a missing element",
         [](GridViewModel& m, const QUuid&) { m.applyQuickRenumber(QUuid::createUuid()); }, false},
        {"move an empty selection", [](GridViewModel& m, const QUuid&) { m.moveEditSelection(1, 0); }, true},
        {"move off the grid",
         [](GridViewModel& m, const QUuid& id) {
             m.setEditSelectedIDs({id});
             m.moveEditSelection(-1, 0);
         },
         false},
        {"delete an empty selection", [](GridViewModel& m, const QUuid&) { m.deleteEditSelection(); }, true},
    };
    for (const Case& c : cases) {
        GridViewModel model;
        model.placeElement({0, 0});
        const QUuid id = test::idAt(model, {0, 0});
        test::clearDirty(model);
        ASSERT_FALSE(model.isDirty());
        SignalCounter changes(model);
        c.operation(model, id);
        EXPECT_EQ(model.isDirty(), c.dirties) << c.name;
        EXPECT_EQ(changes.count("isDirtyChanged"), c.dirties ? 1 : 0) << c.name;
    }
}
