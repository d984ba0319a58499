// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/CellImageCache.h"

#include "canvas/CellShape.h"
#include "canvas/LevelMarks.h"
#include "canvas/ReadableText.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace pexlora {

namespace {

// Three box blurs in a row come close to a Gaussian; only the alpha is blurred.
void blurAlpha(QImage& image, int radius) {
    if (radius < 1)
        return;
    const int w = image.width();
    const int h = image.height();
    std::vector<int> line(static_cast<std::size_t>(std::max(w, h)));
    const auto pass = [&](bool horizontal) {
        const int length = horizontal ? w : h;
        const int lines = horizontal ? h : w;
        for (int l = 0; l < lines; ++l) {
            const auto at = [&](int i) -> uchar& {
                return horizontal ? image.scanLine(l)[i] : image.scanLine(i)[l];
            };
            for (int i = 0; i < length; ++i)
                line[static_cast<std::size_t>(i)] = at(i);
            int sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += (i >= 0 && i < length) ? line[static_cast<std::size_t>(i)] : 0;
            const int width = 2 * radius + 1;
            for (int i = 0; i < length; ++i) {
                at(i) = static_cast<uchar>(sum / width);
                const int out = i - radius;
                const int in = i + radius + 1;
                sum -= out >= 0 ? line[static_cast<std::size_t>(out)] : 0;
                sum += in < length ? line[static_cast<std::size_t>(in)] : 0;
            }
        }
    };
    for (int i = 0; i < 3; ++i) {
        pass(true);
        pass(false);
    }
}

} // namespace

int CellImageCache::glowLevel(double glow) {
    if (!(glow > 0))
        return 0;
    return std::clamp(static_cast<int>(std::ceil(glow * glowLevels)), 1, glowLevels);
}

void CellImageCache::prepare(double cellSize, qreal devicePixelRatio, const SystemColors& colors,
                             std::size_t paletteKey) {
    if (cellSize == m_cellSize && devicePixelRatio == m_ratio && paletteKey == m_paletteKey)
        return;
    m_cellSize = cellSize;
    m_ratio = devicePixelRatio;
    // A point of the 2-point inset holds neither the outline (at most 0.75
    // outside the shape) nor its anti-aliased pixel.
    m_trim = m_ratio > 0 ? std::floor(m_ratio) / m_ratio : 0.0;
    m_paletteKey = paletteKey;
    m_colors = colors;
    m_cells.clear();
    m_textColors.clear();
    m_badge = QImage();
    m_badgeDiameter = 0;
}

const QImage& CellImageCache::cell(Fill fill, double glow) {
    const int level = glowLevel(glow);
    const int key = static_cast<int>(fill) * (glowLevels + 1) + level;
    auto it = m_cells.find(key);
    if (it == m_cells.end())
        it = m_cells.insert(key, render(fill, level));
    return *it;
}

QColor CellImageCache::textColor(Fill fill, double glow, bool highlighted, bool lit) {
    const int key =
        ((static_cast<int>(fill) * (glowLevels + 1) + glowLevel(glow)) * 2 + (highlighted ? 1 : 0)) * 2 +
        (lit ? 1 : 0);
    if (const auto found = m_textColors.constFind(key); found != m_textColors.cend())
        return *found;
    // The middle of the square, where the number stands, as it shows on the ground.
    const QImage& image = cell(fill, glow);
    QColor drawn = SystemColors::over(
        QColor::fromRgba(qUnpremultiply(image.pixel(image.width() / 2, image.height() / 2))),
        m_colors.controlBackground);
    if (lit)
        drawn = SystemColors::over(LevelMarks::fillColour(m_colors, fill != Fill::ordinary), drawn);
    const QColor preferred = highlighted ? m_colors.selectedControlText : m_colors.label;
    const QColor other = highlighted ? m_colors.label : m_colors.selectedControlText;
    return *m_textColors.insert(key, readableOn(drawn, preferred, other));
}

double CellImageCache::margin(double glow) const {
    return glowLevel(glow) > 0 ? glowMargin : -m_trim;
}

QImage CellImageCache::render(Fill fill, int level) const {
    const double g = static_cast<double>(level) / glowLevels;
    const double margin = level > 0 ? glowMargin : -m_trim;
    const double side = m_cellSize + 2 * margin;
    const int pixels = std::max(1, static_cast<int>(std::ceil(side * m_ratio)));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(m_ratio);
    image.fill(Qt::transparent);

    const QRectF shapeRect(margin + cellInset, margin + cellInset, m_cellSize - 2 * cellInset,
                           m_cellSize - 2 * cellInset);
    QPainterPath shape;
    shape.addRoundedRect(shapeRect, cellCornerRadius, cellCornerRadius);

    const SystemColors& c = m_colors;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (fill) {
    case Fill::ordinary:
        painter.fillPath(shape, c.windowBackground);
        break;
    case Fill::selected:
        painter.fillPath(shape, c.selectedControl);
        break;
    case Fill::editSelected:
        painter.fillPath(shape, SystemColors::withAlpha(c.accent, 0.15));
        break;
    case Fill::groupDrag:
        painter.fillPath(shape, SystemColors::withAlpha(c.selectedControl, 0.5));
        break;
    }

    QPen outline;
    if (level > 0) {
        // The glow: an orange wash with a blurred orange shadow, and an orange
        // edge. The shadow is cast by the wash, so it takes the wash's alpha
        // too and peaks near a quarter of the colour.
        const double blur = 10.0 * g;
        const QColor wash = SystemColors::withAlpha(c.orange, 0.28 * g);
        QImage shadow(image.size(), QImage::Format_Alpha8);
        shadow.fill(0);
        {
            QPainter mask(&shadow);
            mask.setRenderHint(QPainter::Antialiasing);
            mask.scale(m_ratio, m_ratio);
            mask.fillPath(shape, QColor(0, 0, 0, wash.alpha()));
        }
        blurAlpha(shadow, static_cast<int>(std::lround(blur * m_ratio / 2)));
        QImage tinted(image.size(), QImage::Format_ARGB32_Premultiplied);
        tinted.fill(SystemColors::withAlpha(c.orange, 0.85 * g));
        {
            QPainter tint(&tinted);
            tint.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            tint.drawImage(0, 0, shadow);
        }
        tinted.setDevicePixelRatio(m_ratio);
        painter.drawImage(QPointF(0, 0), tinted);
        painter.fillPath(shape, wash);
        outline = QPen(SystemColors::withAlpha(c.orange, g), 1.5);
    } else if (fill == Fill::ordinary) {
        outline = QPen(c.separator, 0.5);
    } else {
        outline = QPen(c.accent, fill == Fill::groupDrag ? 1.5 : 1.0);
    }
    painter.strokePath(shape, outline);
    return image;
}

const QImage& CellImageCache::badge(double diameter) {
    if (diameter == m_badgeDiameter && !m_badge.isNull())
        return m_badge;
    const int pixels = std::max(1, static_cast<int>(std::ceil(diameter * m_ratio)));
    m_badge = QImage(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    m_badge.setDevicePixelRatio(m_ratio);
    m_badge.fill(Qt::transparent);
    QPainter painter(&m_badge);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_colors.accent);
    painter.drawEllipse(QRectF(0, 0, diameter, diameter));
    m_badgeDiameter = diameter;
    return m_badge;
}

} // namespace pexlora
