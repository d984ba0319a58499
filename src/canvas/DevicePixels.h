// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPaintDevice>
#include <QPainter>
#include <QPointF>
#include <cmath>

namespace pexlora {

// Device pixels per point of what `painter` paints on.
inline qreal deviceRatio(const QPainter& painter) {
    return painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
}

// Dots per inch of what `painter` paints on, 96 where it cannot tell.
inline int logicalDpi(const QPainter& painter) {
    const int dpi = painter.device() ? painter.device()->logicalDpiY() : 96;
    return dpi > 0 ? dpi : 96;
}

// `p` on the nearest whole device pixel: an image drawn there lands on the pixel
// grid as the cell images do, and does not blur against them.
inline QPointF snapped(QPointF p, qreal ratio) {
    return {std::round(p.x() * ratio) / ratio, std::round(p.y() * ratio) / ratio};
}

} // namespace pexlora
