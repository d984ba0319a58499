// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridElement.h"
#include "model/ModelTypes.h"

#include <QRectF>
#include <QSizeF>
#include <Qt>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pexlora {

// How far a group drag has taken the edit selection, in columns and rows.
struct GridOffset {
    std::int64_t columns = 0;
    std::int64_t rows = 0;
    friend bool operator==(const GridOffset&, const GridOffset&) = default;
};

// The modifier of a select-mode marquee: the first of Option (Alt), Command
// (Ctrl), Shift and Control (Meta) that is held.
MarqueeModifier marqueeModifierFromFlags(Qt::KeyboardModifiers modifiers);
// The same, where a held key wins over the order latched in the key legend.
MarqueeModifier marqueeModifierFromFlags(Qt::KeyboardModifiers modifiers, MarqueeModifier latched);

// The cells an add-line drag places, from `a` towards `b` along a's row, or along
// a's column when the drag is more vertical than horizontal; a = b gives a
// alone. At most `maxCount` cells are taken from `a` on.
std::vector<GridPosition> linePositions(GridPosition a, GridPosition b, std::size_t maxCount);

// A span of columns or rows, both ends included; empty when first > last.
struct IndexRange {
    std::int64_t first = 0;
    std::int64_t last = -1;

    bool isEmpty() const { return first > last; }
    // How many indexes the range holds, saturating instead of overflowing.
    std::uint64_t count() const;
};

// The columns (or rows) whose cells meet [low, high) on one axis, for cells of
// `cellSize` starting at `pan`. Computed in floating point and held inside the
// coordinate range, so no stored zoom or pan can overflow it.
IndexRange cellsCovering(double low, double high, double cellSize, double pan);

// The column (or row) of the grid line at or before `coordinate`, as a double so
// that it never overflows; lines are drawn from there on, one cell apart.
double firstLineIndex(double coordinate, double cellSize, double pan);

} // namespace pexlora
