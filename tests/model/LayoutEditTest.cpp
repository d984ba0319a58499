// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

using namespace pexlora;
using test::expectIndexMatchesElements;
using test::idAt;

namespace {

// Records every edit the model announces, with the layout before and after it.
class EditRecorder {
public:
    explicit EditRecorder(GridViewModel& model)
        : m_model(model) {
        m_before = snapshot();
        QObject::connect(&model, &GridViewModel::layoutEdited, [this](const LayoutEdit& edit) {
            steps.push_back({edit, m_before, snapshot()});
            m_before = steps.back().after;
        });
    }

    struct Snapshot {
        GridElements elements;
        QString quickRenumberNext;
        friend bool operator==(const Snapshot&, const Snapshot&) = default;
    };
    struct Step {
        LayoutEdit edit;
        Snapshot before;
        Snapshot after;
    };

    Snapshot snapshot() const { return {m_model.elements(), m_model.quickRenumberNext()}; }

    std::vector<Step> steps;

private:
    GridViewModel& m_model;
    Snapshot m_before;
};

TEST(LayoutEdit, EveryKindOfEditIsTakenBackAndMadeAgainExactly) {
    GridViewModel model;
    model.setQuickRenumberNext(QStringLiteral("9999"));
    EditRecorder recorder(model);
    const std::vector<GridPosition> line{{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    model.placeElements(line);
    model.placeElement({0, 2});
    model.setEditSelectedIDs({idAt(model, {1, 0}), idAt(model, {2, 0})});
    model.moveEditSelection(0, 1);
    model.applyNumber(idAt(model, {0, 0}), QStringLiteral("12.5"));
    model.applyQuickRenumber(idAt(model, {3, 0}));
    model.applyQuickRenumber(idAt(model, {0, 2})); // 10000 is refused, Next still moves on
    model.setEditSelectedIDs({idAt(model, {1, 1}), idAt(model, {0, 0})});
    model.deleteEditSelection(); // takes cells from the front and the middle of the list

    using Kind = LayoutEdit::Kind;
    std::vector<Kind> kinds;
    for (const auto& step : recorder.steps)
        kinds.push_back(step.edit.kind);
    EXPECT_EQ(kinds, (std::vector<Kind>{Kind::addCells, Kind::addCells, Kind::moveCells, Kind::renumber,
                                        Kind::quickRenumber, Kind::quickRenumber, Kind::deleteCells}));
    EXPECT_EQ(recorder.steps.front().edit.added.size(), 4u) << "a line is one edit";

    for (auto step = recorder.steps.rbegin(); step != recorder.steps.rend(); ++step) {
        model.revertEdit(step->edit);
        EXPECT_EQ(recorder.snapshot(), step->before);
        expectIndexMatchesElements(model);
    }
    for (const auto& step : recorder.steps) {
        model.reapplyEdit(step.edit);
        EXPECT_EQ(recorder.snapshot(), step.after);
        expectIndexMatchesElements(model);
    }
    // The number ledger followed every step back and forth.
    const QString expected = nextFreeNumber(model.elements());
    model.placeElement({9, 9});
    EXPECT_EQ(model.element(idAt(model, {9, 9}))->numberString, expected);
}

TEST(LayoutEdit, RefusedOrEmptyOperationsAnnounceNoEdit) {
    GridViewModel model;
    test::placeAll(model, {{0, 0}, {1, 0}});
    EditRecorder recorder(model);
    model.placeElement({0, 0});                                 // taken
    model.setEditSelectedIDs({idAt(model, {0, 0})});
    model.moveEditSelection(1, 0);                              // onto an unselected cell
    model.moveEditSelection(-1, 0);                             // off the grid
    model.moveEditSelection(0, 0);                              // no offset
    model.applyNumber(idAt(model, {0, 0}), QStringLiteral("12345")); // invalid
    model.applyNumber(idAt(model, {0, 0}), QStringLiteral("1"));     // the number it has
    model.applyQuickRenumber(QUuid::createUuid());             // no such cell
    model.setEditSelectedIDs({QUuid::createUuid()});
    model.deleteEditSelection();                                // names no cell
    EXPECT_TRUE(recorder.steps.empty());
}

TEST(LayoutEdit, CellsTakenBackLeaveTheEditSelection) {
    GridViewModel model;
    EditRecorder recorder(model);
    model.placeElement({0, 0});
    const QUuid id = idAt(model, {0, 0});
    model.setEditSelectedIDs({id});
    model.revertEdit(recorder.steps.at(0).edit);
    EXPECT_TRUE(model.editSelectedIDs().isEmpty());
    model.reapplyEdit(recorder.steps.at(0).edit);
    EXPECT_EQ(model.element(id)->position, (GridPosition{0, 0})) << "the same cell comes back, ID and all";
}

} // namespace
