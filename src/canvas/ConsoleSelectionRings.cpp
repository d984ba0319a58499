// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/ConsoleSelectionRings.h"

#include "canvas/CellShape.h"
#include "canvas/DevicePixels.h"

#include <QPainter>
#include <cmath>

namespace pexlora {

void ConsoleSelectionRings::paint(QPainter& painter, const std::vector<QRectF>& cells, double cellSize,
                                  const SystemColors& colors) {
    if (cells.empty() || !(cellSize > ringWidth * 2) || !std::isfinite(cellSize))
        return;
    const qreal ratio = deviceRatio(painter);
    const QImage& image = ring(cellSize, ratio, colors.pink);
    for (const QRectF& cell : cells)
        painter.drawImage(snapped(cell.topLeft(), ratio), image);
}

const QImage& ConsoleSelectionRings::ring(double cellSize, qreal ratio, const QColor& colour) {
    if (!m_ring.isNull() && m_cellSize == cellSize && m_ratio == ratio && m_colour == colour.rgba())
        return m_ring;
    m_cellSize = cellSize;
    m_ratio = ratio;
    m_colour = colour.rgba();
    const int pixels = static_cast<int>(std::ceil(cellSize * ratio));
    m_ring = QImage(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    m_ring.setDevicePixelRatio(ratio);
    m_ring.fill(Qt::transparent);
    QPainter painter(&m_ring);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, ringWidth));
    painter.setBrush(Qt::NoBrush);
    // The ring follows the cell's shape just outside.
    const double half = ringWidth / 2;
    painter.drawRoundedRect(QRectF(half, half, cellSize - ringWidth, cellSize - ringWidth),
                            cellCornerRadius + half, cellCornerRadius + half);
    return m_ring;
}

} // namespace pexlora
