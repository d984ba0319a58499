// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/document/DocumentHistory.h"

#include "model/GridViewModel.h"

#include <QCoreApplication>
#include <functional>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;

// A layout of five cells in a row, numbered 1 to 5, saved as it stands.
struct SavedLayout {
    GridViewModel model;
    DocumentHistory history{&model};

    SavedLayout() {
        const GridPosition row[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}};
        model.placeElements(row);
        history.markSaved();
    }
    QUuid idAt(GridPosition p) const { return model.elementAt(p).value_or(QUuid()); }
    void editSelect(std::initializer_list<GridPosition> positions) {
        QSet<QUuid> ids;
        for (const GridPosition& p : positions)
            ids.insert(idAt(p));
        model.setEditSelectedIDs(ids);
    }
};

struct EditCase {
    const char* name;
    std::function<void(SavedLayout&)> edit;
    QString stepName;
    // Settings made before the edit, which are not steps themselves.
    std::function<void(SavedLayout&)> prepare = [](SavedLayout&) {};
};

void PrintTo(const EditCase& edit, std::ostream* out) {
    *out << edit.name;
}

class EveryKindOfEdit : public ::testing::TestWithParam<EditCase> {};

TEST_P(EveryKindOfEdit, UndoRestoresTheExactLayoutAndRedoMakesTheEditAgain) {
    SavedLayout layout;
    GetParam().prepare(layout);
    const GridElements saved = layout.model.elements();
    const QString savedNext = layout.model.quickRenumberNext();

    GetParam().edit(layout);
    const GridElements edited = layout.model.elements();
    const QString editedNext = layout.model.quickRenumberNext();
    ASSERT_NE(edited, saved) << "the edit changed nothing";
    ASSERT_EQ(layout.history.stack()->count(), 2) << "the saved row, then one step for the edit";
    EXPECT_EQ(layout.history.stack()->undoText(), GetParam().stepName);
    EXPECT_TRUE(layout.model.isDirty());

    layout.history.stack()->undo();
    EXPECT_EQ(layout.model.elements(), saved) << "positions, numbers, IDs and order as saved";
    EXPECT_EQ(layout.model.quickRenumberNext(), savedNext);
    EXPECT_FALSE(layout.model.isDirty()) << "back at the saved state";
    EXPECT_EQ(layout.model.positionIndex().size(), qsizetype(saved.size()));
    for (const GridElement& element : saved)
        EXPECT_EQ(layout.model.elementAt(element.position), element.id);

    layout.history.stack()->redo();
    EXPECT_EQ(layout.model.elements(), edited);
    EXPECT_EQ(layout.model.quickRenumberNext(), editedNext);
    EXPECT_TRUE(layout.model.isDirty()) << "away from the saved state again";
}

INSTANTIATE_TEST_SUITE_P(Steps, EveryKindOfEdit,
                         ::testing::Values(EditCase{"AddCell",
                                                    [](SavedLayout& l) {
                                                        l.model.placeElement({2, 3});
                                                    },
                                                    u"Add Cell"_s},
                                           EditCase{"AddLine",
                                                    [](SavedLayout& l) {
                                                        const GridPosition line[] = {{0, 2}, {1, 2}, {2, 2}};
                                                        l.model.placeElements(line);
                                                    },
                                                    u"Add Cells"_s},
                                           EditCase{"Move",
                                                    [](SavedLayout& l) {
                                                        l.editSelect({{1, 0}, {3, 0}});
                                                        l.model.moveEditSelection(0, 2);
                                                    },
                                                    u"Move"_s},
                                           EditCase{"DeleteFromTheMiddle",
                                                    [](SavedLayout& l) {
                                                        l.editSelect({{1, 0}, {3, 0}});
                                                        l.model.deleteEditSelection();
                                                    },
                                                    u"Delete"_s},
                                           EditCase{"Renumber",
                                                    [](SavedLayout& l) {
                                                        l.model.beginRenumber(l.idAt({2, 0}));
                                                        l.model.setEditingElementText(u"42"_s);
                                                        l.model.commitRenumber();
                                                    },
                                                    u"Renumber"_s},
                                           EditCase{"QuickRenumber",
                                                    [](SavedLayout& l) {
                                                        l.model.applyQuickRenumber(l.idAt({4, 0}));
                                                    },
                                                    u"Quick Renumber"_s,
                                                    [](SavedLayout& l) {
                                                        l.model.setQuickRenumberNext(u"101"_s);
                                                        l.model.setQuickRenumberIncrement(u"10"_s);
                                                    }}),
                         [](const ::testing::TestParamInfo<EditCase>& row) {
                             return std::string(row.param.name);
                         });

TEST(DocumentHistory, SelectionZoomPanModeAndToolMakeNoStep) {
    SavedLayout layout;
    layout.editSelect({{0, 0}});
    layout.model.selectSingle(layout.idAt({1, 0}));
    layout.model.setZoomScale(2.5);
    layout.model.setPanOffset({-40, 12});
    layout.model.setMode(AppMode::edit);
    layout.model.setEditTool(EditTool::addElement);
    layout.model.setPreviewPlaying(true);
    EXPECT_EQ(layout.history.stack()->count(), 1) << layout.history.stack()->undoText().toStdString();
    EXPECT_FALSE(layout.model.isDirty());
}

TEST(DocumentHistory, TheSavedStateMayLieAnywhereInTheHistory) {
    SavedLayout layout;
    QUndoStack* stack = layout.history.stack();
    layout.model.placeElement({0, 1});
    QCoreApplication::processEvents(); // the next click
    layout.model.placeElement({1, 1});
    layout.history.markSaved();
    EXPECT_FALSE(layout.model.isDirty());

    stack->undo();
    EXPECT_TRUE(layout.model.isDirty()) << "the file holds the cell just taken back";
    stack->redo();
    EXPECT_FALSE(layout.model.isDirty());

    // A new edit after undoing past the save leaves the saved state out of reach.
    stack->undo();
    stack->undo();
    layout.model.placeElement({5, 5});
    stack->undo();
    EXPECT_TRUE(layout.model.isDirty());
    EXPECT_EQ(stack->cleanIndex(), -1);
}

TEST(DocumentHistory, ALineOfCellsIsOneStepAndEachClickAnother) {
    SavedLayout layout;
    QUndoStack* stack = layout.history.stack();
    // As the canvas's Add tool places a dragged line on release.
    layout.model.placeElements(std::vector<GridPosition>{{0, 2}, {1, 2}, {2, 2}, {3, 2}});
    EXPECT_EQ(stack->count(), 2);
    EXPECT_EQ(stack->undoText(), u"Add Cells"_s);
    layout.model.placeElement({0, 3});
    EXPECT_EQ(stack->count(), 3);
    EXPECT_EQ(stack->undoText(), u"Add Cell"_s);
    stack->undo();
    stack->undo();
    EXPECT_EQ(layout.model.elements().size(), 5u);
    EXPECT_FALSE(layout.model.isDirty());
    stack->redo();
    EXPECT_EQ(layout.model.elements().size(), 9u);
}

TEST(DocumentHistory, UndoingAnAddDropsTheCellFromTheEditSelection) {
    SavedLayout layout;
    layout.model.placeElement({0, 1});
    const QUuid added = layout.idAt({0, 1});
    layout.model.setEditSelectedIDs({added, layout.idAt({0, 0})});
    layout.history.stack()->undo();
    EXPECT_EQ(layout.model.editSelectedIDs(), QSet<QUuid>{layout.idAt({0, 0})});
    // A delete made now must not reach the cell that is no longer there.
    layout.model.deleteEditSelection();
    layout.history.stack()->undo();
    EXPECT_EQ(layout.model.elements().size(), 5u);
}

} // namespace
} // namespace pexlora
