// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/LevelMarks.h"

#include "canvas/CellLevels.h"
#include "canvas/CellShape.h"
#include "canvas/DevicePixels.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace pexlora {

namespace {

// The fill keeps this far inside the cell's shape, clear of every outline drawn
// on its edge; framed, clear of the selection's colour too.
double fillInset(bool framed) {
    return framed ? 3.0 : 1.0;
}
// The level's text stands this far into the corner of the cell's square.
constexpr QPointF textOffset(3.0, 1.5);

QRectF fillArea(double cellSize, bool framed) {
    const double edge = cellInset + fillInset(framed);
    return {edge, edge, cellSize - 2 * edge, cellSize - 2 * edge};
}

} // namespace

QColor LevelMarks::fillColour(const SystemColors& colors, bool framed) {
    if (framed)
        return SystemColors::withAlpha(colors.yellow, colors.dark ? 0.75 : 0.85);
    return SystemColors::withAlpha(colors.yellow, colors.dark ? 0.42 : 0.55);
}

void LevelMarks::prepare(double cellSize, qreal ratio, const SystemColors& colors, std::size_t paletteKey,
                         const QFont& font) {
    QFont small = font;
    small.setPointSizeF(font.pointSizeF() * 0.65);
    small.setWeight(QFont::DemiBold);
    const bool sameFont = small == m_glyphs.font();
    m_glyphs.setFont(small, ratio);
    if (sameFont && cellSize == m_cellSize && ratio == m_ratio && paletteKey == m_paletteKey)
        return;
    m_cellSize = cellSize;
    m_ratio = ratio;
    m_paletteKey = paletteKey;
    m_colors = colors;
    m_images.fill(QImage());
    m_lit.clear();
    m_litBytes = 0;
}

QImage LevelMarks::render(Image kind) const {
    const int pixels = std::max(1, static_cast<int>(std::ceil(m_cellSize * m_ratio)));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(m_ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF square(0, 0, m_cellSize, m_cellSize);
    if (kind != Image::unpatchedMark) {
        const bool framed = kind == Image::framedFill;
        const double radius = std::max(cellCornerRadius - fillInset(framed), 1.0);
        QPainterPath shape;
        shape.addRoundedRect(fillArea(m_cellSize, framed), radius, radius);
        painter.fillPath(shape, fillColour(m_colors, framed));
        return image;
    }
    // A triangle filling the bottom-right corner of the shape, across from the level.
    const QRectF inner = cellInner(square);
    const double leg = std::clamp(0.24 * inner.width(), 3.0, 12.0);
    QPainterPath triangle;
    triangle.moveTo(inner.right() - leg, inner.bottom());
    triangle.lineTo(inner.right(), inner.bottom() - leg);
    triangle.lineTo(inner.bottomRight());
    triangle.closeSubpath();
    painter.setClipPath(cellShape(square));
    painter.fillPath(triangle, m_colors.red);
    return image;
}

double LevelMarks::fillTop(const QRectF& cell, int percent, bool framed) const {
    const QRectF area = fillArea(m_cellSize, framed).translated(cell.topLeft());
    return area.bottom() - area.height() * std::clamp(percent, 0, 100) / 100.0;
}

void LevelMarks::paintFill(QPainter& painter, const QRectF& cell, int percent, bool framed) {
    if (percent <= 0 || !(m_cellSize > 2 * (cellInset + fillInset(framed))))
        return;
    const Image kind = framed ? Image::framedFill : Image::fill;
    QImage& image = m_images[static_cast<std::size_t>(kind)];
    if (image.isNull())
        image = render(kind);
    // The bottom rows of the image of a full cell, from whole device pixels, so
    // that the fill's edge lands on the pixel grid as the cells do.
    const QPointF origin = snapped(cell.topLeft(), m_ratio);
    const double top = std::round((fillTop(cell, percent, framed) - cell.top()) * m_ratio);
    const QRectF source(0, top, image.width(), image.height() - top);
    painter.drawImage(origin + QPointF(0, top / m_ratio), image, source);
}

const QImage& LevelMarks::addLitCell(int key, const QImage& base, double margin, bool framed, int percent,
                                     const QColor& textColour) {
    // Levels come and go in hundreds of steps at every size: a bound keeps
    // large cells from holding on to much memory.
    constexpr qsizetype maxBytes = 48 * 1024 * 1024;
    if (m_litBytes + base.sizeInBytes() > maxBytes) {
        m_lit.clear();
        m_litBytes = 0;
    }
    QImage image = base.copy();
    image.setDevicePixelRatio(base.devicePixelRatio());
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        // The cell's square as the image holds it.
        const QRectF cell(margin, margin, m_cellSize, m_cellSize);
        paintFill(painter, cell, percent, framed);
        const QString text = levelText(percent);
        if (textColour.isValid() && m_glyphs.covers(text)) {
            DigitGlyphs::Run run;
            m_glyphs.append(text, cellInner(cell).topLeft() + textOffset, run);
            painter.setPen(textColour);
            m_glyphs.draw(painter, run);
        }
    }
    m_litBytes += image.sizeInBytes();
    return *m_lit.insert(key, std::move(image));
}

double LevelMarks::textMiddle(const QRectF& inner) const {
    return inner.top() + textOffset.y() + m_glyphs.height() / 2;
}

void LevelMarks::appendText(const QRectF& inner, int percent, const QColor& colour) {
    const QString text = levelText(percent);
    if (!m_glyphs.covers(text))
        return; // a font without these letters: the fill alone tells the level
    auto pending = std::find_if(m_pending.begin(), m_pending.end(),
                                [&](const auto& run) { return run.first == colour; });
    if (pending == m_pending.end())
        pending = m_pending.insert(m_pending.end(), {colour, {}});
    m_glyphs.append(text, inner.topLeft() + textOffset, pending->second);
}

void LevelMarks::flushText(QPainter& painter) {
    for (auto& [colour, run] : m_pending) {
        painter.setPen(colour);
        m_glyphs.draw(painter, run);
    }
    m_pending.clear();
}

void LevelMarks::paintUnpatched(QPainter& painter, const std::vector<QRectF>& cells) {
    if (cells.empty() || !(m_cellSize > 2 * cellInset))
        return;
    QImage& mark = m_images[static_cast<std::size_t>(Image::unpatchedMark)];
    if (mark.isNull())
        mark = render(Image::unpatchedMark);
    for (const QRectF& cell : cells)
        painter.drawImage(snapped(cell.topLeft(), m_ratio), mark);
}

} // namespace pexlora
