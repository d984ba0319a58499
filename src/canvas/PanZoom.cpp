// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/PanZoom.h"

#include <algorithm>

namespace pexlora {

double rubberBand(double v, double delta) {
    const double s = v + delta;
    if (s <= 0)
        return s;
    if (v > 0)
        return std::min(maxOverscroll, v + overscrollResistance * delta);
    return std::min(maxOverscroll, overscrollResistance * s);
}

double zoomedScale(double scale, double factor) {
    return std::min(maxZoomScale, std::max(minZoomScale, scale * factor));
}

GridView zoomedAbout(const GridView& view, QPointF anchor, double factor) {
    const double scale = zoomedScale(view.scale, factor);
    const double ratio = scale / view.scale;
    return {scale, QSizeF(anchor.x() - (anchor.x() - view.pan.width()) * ratio,
                          anchor.y() - (anchor.y() - view.pan.height()) * ratio)};
}

GridView fittedView(const QRectF& cells, QSizeF viewport, double cellSize, double margin) {
    if (cells.isEmpty() || cellSize <= 0)
        return {1.0, QSizeF(0, 0)};
    const double room = std::min((viewport.width() - 2 * margin) / (cells.width() * cellSize),
                                 (viewport.height() - 2 * margin) / (cells.height() * cellSize));
    const double scale = std::min(maxZoomScale, std::max(minZoomScale, room));
    const double size = cellSize * scale;
    const QPointF centre = cells.center() * size;
    return {scale, QSizeF(viewport.width() / 2 - centre.x(), viewport.height() / 2 - centre.y())};
}

BounceStep bounceStep(QSizeF pan) {
    const QSizeF next(std::max(0.0, pan.width() * bounceDecay), std::max(0.0, pan.height() * bounceDecay));
    if (next.width() < 0.5 && next.height() < 0.5)
        return {QSizeF(0, 0), true};
    return {next, false};
}

} // namespace pexlora
