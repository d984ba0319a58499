// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/SystemColors.h"

#include <QImage>
#include <QRectF>
#include <vector>

class QPainter;

namespace pexlora {

// The ring round each cell the console has selected: a pink band in the gap
// between a cell's square and its rounded shape, so it neither hides Pexlora's
// own selection (the fill and the accent outline inside the shape) nor the order
// badge. One image of the ring serves every cell of a size.
class ConsoleSelectionRings {
public:
    static constexpr double ringWidth = 2.0;

    // `cells` are the squares of the ringed cells, in view coordinates.
    void paint(QPainter& painter, const std::vector<QRectF>& cells, double cellSize,
               const SystemColors& colors);

private:
    const QImage& ring(double cellSize, qreal ratio, const QColor& colour);

    QImage m_ring;
    double m_cellSize = 0;
    qreal m_ratio = 0;
    QRgb m_colour = 0;
};

} // namespace pexlora
