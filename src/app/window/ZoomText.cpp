// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/ZoomText.h"

#include <cmath>

namespace pexlora {

QString zoomPercentText(double zoomScale) {
    // A scale read from a file is taken as stored, so it may be anything.
    if (std::isnan(zoomScale))
        return QStringLiteral("0%");
    constexpr double limit = 1e15; // far beyond any zoom, still exact as an integer
    double percent = std::clamp(zoomScale * 100.0, -limit, limit);
    // Rounding to nine decimals removes the error of products like 0.29 × 100 =
    // 28.999999999999996; below a millionth nobody zooms.
    if (std::abs(percent) < 1e6)
        percent = std::round(percent * 1e9) / 1e9;
    return QString::number(std::trunc(percent), 'f', 0) + QLatin1Char('%');
}

} // namespace pexlora
