// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridElement.h"
#include "model/LayoutEdit.h"
#include "model/NumberLedger.h"

#include <QHash>
#include <QSet>
#include <QUuid>
#include <cstdint>
#include <optional>

namespace pexlora {

// The cells of a layout with the two indexes kept in step with them: which cell
// stands on each position, and which integers the number texts use. Nothing
// outside changes the cells, so no edit can update one and forget another; every
// change is planned against the current cells and then applied as a LayoutEdit.
// Invariant: one position-index entry per cell, so no two cells share a position.
class GridLayout {
public:
    const GridElements& elements() const { return m_elements; }
    const QHash<GridPosition, QUuid>& positionIndex() const { return m_positionIndex; }
    bool isOccupied(GridPosition position) const { return m_positionIndex.contains(position); }
    std::optional<QUuid> elementAt(GridPosition position) const;
    // Index of the first cell with that ID, as every lookup by ID takes it.
    std::optional<std::size_t> indexOf(const QUuid& id) const;
    const GridElement* element(const QUuid& id) const;
    // The smallest positive integer no number text stands for.
    QString nextFreeNumber() const { return m_numbers.nextFree(); }

    // Replaces every cell; the positions must be distinct (a file that repeats
    // one is refused before it gets here). Returns whether the cells changed.
    bool reset(GridElements elements);

    // -- Planning: what an edit would do, or nothing when it is refused -----------

    // A new cell with a fresh ID and the next free number, unless the place is taken.
    std::optional<LayoutEdit::PlacedCell> planPlacement(GridPosition position) const;
    // Every cell named in `ids` (its first cell, for a repeated ID) moved by the
    // offset; refused whole when a cell would leave the grid or land on a cell that
    // stays. IDs that name no cell are skipped.
    std::optional<std::vector<LayoutEdit::MovedCell>> planMove(const QSet<QUuid>& ids, std::int64_t columnOffset,
                                                              std::int64_t rowOffset) const;
    // The first cell of every ID in `ids`, in list order.
    std::vector<LayoutEdit::PlacedCell> planRemoval(const QSet<QUuid>& ids) const;

    // -- Applying -----------------------------------------------------------------

    // Makes the edit: renumbers and moves first, then removes, then adds.
    void apply(const LayoutEdit& edit);
    // Takes back an edit that was the last one applied, in the opposite order.
    void revert(const LayoutEdit& edit);

private:
    enum class Direction { forward, backward };

    void renumber(const std::vector<LayoutEdit::RenumberedCell>& cells, Direction direction);
    void move(const std::vector<LayoutEdit::MovedCell>& cells, Direction direction);
    void removeAt(const std::vector<LayoutEdit::PlacedCell>& cells);
    void insertAt(const std::vector<LayoutEdit::PlacedCell>& cells);
    void rebuildFirstIndex();

    GridElements m_elements;
    QHash<GridPosition, QUuid> m_positionIndex;
    // Where the first cell of each ID stands, so lookups by ID (undo, the preview's
    // repaints, drawing only what is visible) need not walk a large layout.
    QHash<QUuid, std::size_t> m_firstIndex;
    NumberLedger m_numbers;
};

} // namespace pexlora
