// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridElement.h"

#include <QMetaType>
#include <QString>
#include <cstddef>
#include <optional>
#include <vector>

namespace pexlora {

// One change of a layout as it was made: what it added, removed, moved and
// renumbered, by index into the element list. It holds only the cells it touched,
// never a copy of the layout, and is enough to make the change again or to take
// it back, as long as the layout is in the state the change left it in (or found
// it in). Every change of the cells goes through one of these.
struct LayoutEdit {
    enum class Kind { addCells, moveCells, deleteCells, renumber, quickRenumber };

    struct PlacedCell {
        std::size_t index; // in the list with the cell in it
        GridElement element;
        friend bool operator==(const PlacedCell&, const PlacedCell&) = default;
    };
    struct MovedCell {
        std::size_t index;
        GridPosition from;
        GridPosition to;
        friend bool operator==(const MovedCell&, const MovedCell&) = default;
    };
    struct RenumberedCell {
        std::size_t index;
        QString from;
        QString to;
        friend bool operator==(const RenumberedCell&, const RenumberedCell&) = default;
    };
    struct TextChange {
        QString from;
        QString to;
        friend bool operator==(const TextChange&, const TextChange&) = default;
    };

    explicit LayoutEdit(Kind editKind = Kind::addCells)
        : kind(editKind) {}

    Kind kind;
    std::vector<PlacedCell> added;   // ascending index, as they stand after the change
    std::vector<PlacedCell> removed; // ascending index, as they stood before it
    std::vector<MovedCell> moved;
    std::vector<RenumberedCell> renumbered;
    // Quick renumber moves its Next value on with every click, and a click taken
    // back gives the number back.
    std::optional<TextChange> quickRenumberNext;

    bool changesCells() const { return !added.empty() || !removed.empty() || !moved.empty() || !renumbered.empty(); }
    bool isEmpty() const { return !changesCells() && !quickRenumberNext; }

    friend bool operator==(const LayoutEdit&, const LayoutEdit&) = default;
};

} // namespace pexlora

Q_DECLARE_METATYPE(pexlora::LayoutEdit)
