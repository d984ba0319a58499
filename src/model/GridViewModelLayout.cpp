// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/GridViewModel.h"

namespace pexlora {

void GridViewModel::placeElement(GridPosition position) {
    placeElements({&position, 1});
}

void GridViewModel::placeElements(std::span<const GridPosition> positions) {
    LayoutEdit line(LayoutEdit::Kind::addCells);
    for (const GridPosition& position : positions) {
        auto cell = m_layout.planPlacement(position);
        if (!cell)
            continue; // a taken place keeps its cell
        LayoutEdit single(LayoutEdit::Kind::addCells);
        single.added.push_back(*cell);
        m_layout.apply(single);
        line.added.push_back(std::move(*cell));
    }
    if (line.isEmpty())
        return;
    emit elementsChanged();
    markDirty();
    emit layoutEdited(line);
}

void GridViewModel::placeCells(const GridElements& cells) {
    LayoutEdit added(LayoutEdit::Kind::addCells);
    QSet<GridPosition> taken;
    for (const GridElement& cell : cells) {
        if (m_layout.isOccupied(cell.position) || taken.contains(cell.position))
            continue;
        taken.insert(cell.position);
        added.added.push_back({m_layout.elements().size() + added.added.size(), cell});
    }
    if (added.isEmpty())
        return;
    m_layout.apply(added);
    emit elementsChanged();
    markDirty();
    emit layoutEdited(added);
}

void GridViewModel::moveEditSelection(std::int64_t columnOffset, std::int64_t rowOffset) {
    if (columnOffset == 0 && rowOffset == 0)
        return;
    auto plan = m_layout.planMove(m_editSelectedIDs, columnOffset, rowOffset);
    if (!plan)
        return;
    LayoutEdit move(LayoutEdit::Kind::moveCells);
    move.moved = std::move(*plan);
    if (!move.isEmpty()) {
        m_layout.apply(move);
        emit elementsChanged();
    }
    // Also for a selection that names no cell any more, as long as the offset is not zero.
    markDirty();
    if (!move.isEmpty())
        emit layoutEdited(move);
}

bool GridViewModel::canMoveEditSelection(std::int64_t columnOffset, std::int64_t rowOffset) const {
    return m_layout.planMove(m_editSelectedIDs, columnOffset, rowOffset).has_value();
}

void GridViewModel::deleteEditSelection() {
    LayoutEdit removal(LayoutEdit::Kind::deleteCells);
    removal.removed = m_layout.planRemoval(m_editSelectedIDs);
    if (!removal.isEmpty()) {
        m_layout.apply(removal);
        emit elementsChanged();
    }
    setEditSelectedIDs({});
    markDirty();
    if (!removal.isEmpty())
        emit layoutEdited(removal);
}

void GridViewModel::dropFromEditSelection(const std::vector<LayoutEdit::PlacedCell>& cells) {
    bool dropped = false;
    for (const auto& cell : cells)
        dropped = m_editSelectedIDs.remove(cell.element.id) || dropped;
    if (dropped)
        emit editSelectedIDsChanged();
}

void GridViewModel::revertEdit(const LayoutEdit& edit) {
    m_layout.revert(edit);
    settleUndoStep(edit, Direction::backward);
}

void GridViewModel::reapplyEdit(const LayoutEdit& edit) {
    m_layout.apply(edit);
    settleUndoStep(edit, Direction::forward);
}

void GridViewModel::settleUndoStep(const LayoutEdit& edit, Direction direction) {
    const bool back = direction == Direction::backward;
    // Cells that are gone again leave the edit selection, so a following move or
    // delete acts on what the user sees selected.
    dropFromEditSelection(back ? edit.added : edit.removed);
    if (edit.quickRenumberNext)
        setQuickRenumberNext(back ? edit.quickRenumberNext->from : edit.quickRenumberNext->to);
    if (edit.changesCells())
        emit elementsChanged();
}

} // namespace pexlora
