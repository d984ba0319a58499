// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/ReadableText.h"

#include <cmath>

namespace pexlora {

namespace {

constexpr double readable = 4.5;

double luminance(QColor c) {
    const auto linear = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

} // namespace

double contrastRatio(QColor a, QColor b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(QColor fill, QColor preferred, QColor alternative) {
    if (contrastRatio(preferred, fill) >= readable)
        return preferred;
    if (contrastRatio(alternative, fill) >= readable)
        return alternative;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(black, fill) >= contrastRatio(white, fill) ? black : white;
}

} // namespace pexlora
