// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/CanvasTools.h"

#include "FakeToolContext.h"
#include "canvas/AddElementTool.h"
#include "canvas/QuickRenumberTool.h"
#include "canvas/RenumberTool.h"
#include "canvas/SelectElementTool.h"
#include "canvas/SelectModeTool.h"

#include <gtest/gtest.h>
#include <typeindex>

using namespace pexlora;
using test::FakeToolContext;

namespace {

QPointF centre(const GridViewModel& model, GridPosition p) {
    return model.cellRect(p).center();
}

TEST(CanvasTools, TheModeAndTheEditToolPickTheActiveTool) {
    struct Row {
        AppMode mode;
        EditTool tool;
        std::type_index expected;
    };
    const Row rows[] = {
        {AppMode::select, EditTool::addElement, typeid(SelectModeTool)},
        {AppMode::edit, EditTool::selectElement, typeid(SelectElementTool)},
        {AppMode::edit, EditTool::addElement, typeid(AddElementTool)},
        {AppMode::edit, EditTool::renumber, typeid(RenumberTool)},
        {AppMode::edit, EditTool::quickRenumber, typeid(QuickRenumberTool)},
    };
    FakeToolContext context;
    CanvasTools tools(context);
    EXPECT_EQ(tools.toolFor(nullptr), nullptr);
    for (const Row& row : rows) {
        context.model().setMode(row.mode);
        context.model().setEditTool(row.tool);
        tools.follow(&context.model());
        ASSERT_NE(tools.active(), nullptr);
        EXPECT_EQ(std::type_index(typeid(*tools.active())), row.expected);
    }
}

TEST(CanvasTools, ALineDragCutShortByAToolChangePlacesNothingLater) {
    FakeToolContext context;
    GridViewModel& model = context.model();
    model.setMode(AppMode::edit);
    model.setEditTool(EditTool::addElement);
    CanvasTools tools(context);
    ASSERT_TRUE(tools.follow(&model));
    tools.active()->pressed({centre(model, {1, 1}), {}, 1});
    tools.active()->dragged({centre(model, {4, 1}), {}, 1});
    model.setEditTool(EditTool::selectElement);
    EXPECT_TRUE(tools.follow(&model));
    EXPECT_FALSE(tools.follow(&model)) << "the same tool stays";
    model.setEditTool(EditTool::addElement);
    tools.follow(&model);
    tools.active()->released({centre(model, {4, 1}), {}, 1});
    EXPECT_TRUE(model.elements().empty());
}

TEST(CanvasTools, LettingGoWithoutAModelLeavesTheMarqueeToTheModelItBelongsTo) {
    FakeToolContext context;
    GridViewModel& model = context.model();
    CanvasTools tools(context);
    tools.follow(&model);
    tools.active()->pressed({{5, 5}, {}, 1});
    tools.active()->dragged({{90, 90}, {}, 1});
    tools.deactivate(nullptr);
    EXPECT_TRUE(model.marqueeStart()) << "not cancelled on a model that is gone";
    tools.follow(&model);
    tools.active()->pressed({{5, 5}, {}, 1});
    tools.deactivate(&model);
    EXPECT_FALSE(model.marqueeStart());
    EXPECT_EQ(tools.active(), nullptr);
}

TEST(SelectElementToolOnItsOwn, ReportsTheDragOffsetAndTheRubberBandOnlyWhileTheyLast) {
    FakeToolContext context;
    GridViewModel& model = context.model();
    model.setMode(AppMode::edit);
    model.placeElements(std::vector<GridPosition>{{1, 1}});
    SelectElementTool tool(context);
    tool.pressed({centre(model, {1, 1}), {}, 1});
    tool.dragged({centre(model, {3, 2}), {}, 1});
    EXPECT_EQ(tool.selectionDragOffset(), (GridOffset{2, 1}));
    tool.released({centre(model, {3, 2}), {}, 1});
    EXPECT_EQ(tool.selectionDragOffset(), std::nullopt);

    tool.pressed({centre(model, {6, 6}), {}, 1});
    tool.dragged({centre(model, {8, 8}), {}, 1});
    EXPECT_TRUE(tool.overlayFixedToView());
    tool.cancel();
    EXPECT_FALSE(tool.overlayFixedToView());
}

TEST(QuickRenumberToolOnItsOwn, ItsLabelStandsRightOfThePointerAndGrowsWithTheNumber) {
    FakeToolContext context;
    context.model().setQuickRenumberNext(QStringLiteral("9"));
    const QuickRenumberTool tool(context);
    const QRect narrow = tool.pointerOverlayArea({100, 100});
    EXPECT_GT(narrow.left(), 100);
    context.model().setQuickRenumberNext(QStringLiteral("1000.5"));
    EXPECT_GT(tool.pointerOverlayArea({100, 100}).width(), narrow.width());
}

} // namespace
