// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPainterPath>
#include <QRectF>

namespace pexlora {

// A cell is drawn as a rounded square this far inside its place on the grid.
inline constexpr double cellInset = 2.0;
inline constexpr double cellCornerRadius = 4.0;

inline QRectF cellInner(const QRectF& cell) {
    return cell.adjusted(cellInset, cellInset, -cellInset, -cellInset);
}

inline QPainterPath cellShape(const QRectF& cell) {
    QPainterPath shape;
    shape.addRoundedRect(cellInner(cell), cellCornerRadius, cellCornerRadius);
    return shape;
}

// More grid lines than this across an area would be a solid fill anyway.
inline constexpr double maxGridLines = 4096;

} // namespace pexlora
