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

BounceStep bounceStep(QSizeF pan) {
    const QSizeF next(std::max(0.0, pan.width() * bounceDecay), std::max(0.0, pan.height() * bounceDecay));
    if (next.width() < 0.5 && next.height() < 0.5)
        return {QSizeF(0, 0), true};
    return {next, false};
}

} // namespace pexlora
