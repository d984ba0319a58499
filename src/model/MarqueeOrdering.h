// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridElement.h"
#include "model/ModelTypes.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <vector>

namespace pexlora {

// A marquee no more than this many points wide and high selects nothing, so
// that a click without movement is not taken for a drag.
constexpr double minimumMarqueeExtent = 2.0;

// The rectangle spanned by two view points (width and height never negative).
QRectF marqueeRect(QPointF start, QPointF end);

bool isMarqueeTooSmall(const QRectF& marquee);

// Whether the marquee touches the cell square at `cellOrigin` with side `cellSize`.
// Overlap has to have area: a marquee that only touches a cell along an edge or
// at a corner does not take it. A marquee of zero width or height is a line and
// takes the cells it runs through, a cell spanning [x, x + side) on each axis.
bool marqueeIntersectsCell(const QRectF& marquee, QPointF cellOrigin, double cellSize);

// A group of elements in selection order; the pointers point into the list given
// to orderedGroups() and stay valid as long as that list is unchanged.
using ElementGroup = std::vector<const GridElement*>;

// The elements under a marquee, ordered and grouped by the modifier's rule.
// Empty when the marquee is too small or covers no cell.
std::vector<ElementGroup> orderedGroups(MarqueeModifier modifier, const GridElements& elements, QPointF start,
                                        QPointF end, double cellSize, QSizeF pan);

} // namespace pexlora
