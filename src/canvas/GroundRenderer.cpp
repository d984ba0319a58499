// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/GroundRenderer.h"

#include "canvas/CanvasGeometry.h"
#include "canvas/CellShape.h"
#include "canvas/DevicePixels.h"
#include "model/GridViewModel.h"
#include "widgets/SystemColors.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace pexlora {

namespace {

// Qt hands fills of more rows than this to worker threads.
constexpr double fillBandPixels = 64;
// Up to this many dirty rectangles the ground is drawn in each of them.
constexpr int maxDirectRects = 4;

} // namespace

void GroundRenderer::paint(QPainter& painter, const QRegion& dirty, const QRect& viewport,
                           const GridViewModel& model, const SystemColors& colors) {
    if (dirty.rectCount() <= maxDirectRects) {
        // A whole repaint (zooming) or a strip that panning uncovered draws the
        // ground directly, bounded by each rectangle.
        for (const QRect& rect : dirty)
            paintGround(painter, QRectF(rect), model, colors);
        return;
    }
    // Many small pieces (a preview tick) copy it from an image of the whole
    // view, so that grid lines are not set up again for every piece.
    const QImage& ground = groundImage(viewport, painter, model, colors);
    const qreal ratio = ground.devicePixelRatio();
    for (const QRect& rect : dirty)
        painter.drawImage(
            QRectF(rect), ground,
            QRectF(QPointF(rect.topLeft() - viewport.topLeft()) * ratio, QSizeF(rect.size()) * ratio));
}

void GroundRenderer::paintGround(QPainter& painter, const QRectF& area, const GridViewModel& model,
                                 const SystemColors& c) {
    if (paintBackgroundWithColumns(painter, area, model, c)) {
        paintGridLines(painter, area, model, c, false);
    } else {
        painter.fillRect(area, c.controlBackground);
        paintGridLines(painter, area, model, c, true);
    }
    paintShading(painter, area, model, c);
}

namespace {

// The grid lines that cross an area: the first column and row line at or before
// it, how many of each, and the colour and width of a line.
struct GridLines {
    bool drawable = false;
    double x0 = 0;
    double y0 = 0;
    double size = 0;
    int columns = 0;
    int rows = 0;
    double pixel = 1;
    QColor colour;

    double columnX(int i, qreal ratio) const { return std::floor((x0 + i * size) * ratio) / ratio; }
    double rowY(int i, qreal ratio) const { return std::floor((y0 + i * size) * ratio) / ratio; }
};

GridLines gridLinesIn(const QRectF& area, const GridViewModel& model, const SystemColors& c, qreal ratio) {
    GridLines lines;
    const double size = model.cellSize();
    const QSizeF pan = model.panOffset();
    if (!(size > 0) || !std::isfinite(size) || area.width() / size > maxGridLines ||
        area.height() / size > maxGridLines)
        return lines;
    lines.drawable = true;
    lines.size = size;
    // Counted from the first line at or before the area, in floating point, so a
    // pan of ±1e9 at zoom 0.1 still gives a few hundred lines and no overflow.
    lines.x0 = firstLineIndex(area.left(), size, pan.width()) * size + pan.width();
    lines.y0 = firstLineIndex(area.top(), size, pan.height()) * size + pan.height();
    lines.columns = static_cast<int>(std::ceil((area.right() - lines.x0) / size)) + 1;
    lines.rows = static_cast<int>(std::ceil((area.bottom() - lines.y0) / size)) + 1;
    // Half-point lines as one-device-pixel strips with the alpha scaled to match:
    // they look the same, and filling a strip costs a fraction of rasterising an
    // anti-aliased line.
    lines.pixel = 1.0 / ratio;
    lines.colour = SystemColors::withAlpha(c.separator, 0.25 * std::min(1.0, 0.5 / lines.pixel));
    // The strips lie on the opaque background, so they take the blended colour
    // itself: the same pixels, and Qt fills an opaque rectangle as plain memory
    // where it blends a translucent one span by span, handing every tall strip
    // to its worker threads, which costs more than the strip.
    if (c.controlBackground.alpha() == 255)
        lines.colour = SystemColors::over(lines.colour, c.controlBackground);
    return lines;
}

// In bands short enough that Qt fills them on this thread: handing a tall fill
// to its worker threads costs more in waking and waiting than the fill.
void fillBanded(QPainter& painter, const QRectF& rect, const QBrush& brush) {
    const double band = fillBandPixels / deviceRatio(painter);
    for (double y = rect.top(); y < rect.bottom(); y += band)
        painter.fillRect(QRectF(rect.left(), y, rect.width(), std::min(band, rect.bottom() - y)), brush);
}

bool isWhole(double v) {
    return std::abs(v - std::round(v)) < 1e-9;
}

} // namespace

bool GroundRenderer::paintBackgroundWithColumns(QPainter& painter, const QRectF& area,
                                                const GridViewModel& model, const SystemColors& c) {
    // The background and the column lines repeat all the way down, so one row
    // of them is laid as a tile: every row is then copied as plain memory,
    // where a strip per column would cost a small fill on every row.
    const qreal ratio = deviceRatio(painter);
    const GridLines lines = gridLinesIn(area, model, c, ratio);
    if (!lines.drawable || c.controlBackground.alpha() != 255 || !isWhole(area.left() * ratio) ||
        !isWhole(area.width() * ratio) || !painter.transform().isIdentity())
        return false;
    const int width = static_cast<int>(std::round(area.width() * ratio));
    const auto left = static_cast<long long>(std::round(area.left() * ratio));
    if (width < 1)
        return false;
    if (m_groundRow.width() != width || m_groundRow.devicePixelRatio() != ratio) {
        m_groundRow = QImage(width, 1, QImage::Format_RGB32);
        m_groundRow.setDevicePixelRatio(ratio);
    }
    m_groundRow.fill(c.controlBackground);
    auto* row = reinterpret_cast<QRgb*>(m_groundRow.scanLine(0));
    const QRgb line = lines.colour.rgba();
    for (int i = 0; i < lines.columns; ++i) {
        const long long x = std::llround(lines.columnX(i, ratio) * ratio) - left;
        if (x >= 0 && x < width)
            row[x] = line;
    }
    painter.save();
    painter.setBrushOrigin(area.topLeft());
    fillBanded(painter, area, QBrush(m_groundRow));
    painter.restore();
    return true;
}

const QImage& GroundRenderer::groundImage(const QRect& viewport, const QPainter& painter,
                                          const GridViewModel& model, const SystemColors& c) {
    const qreal ratio = deviceRatio(painter);
    const GroundKey key{viewport.size(),
                        ratio,
                        model.cellSize(),
                        model.panOffset().width(),
                        model.panOffset().height(),
                        c.controlBackground.rgba(),
                        c.separator.rgba(),
                        c.windowBackground.rgba()};
    if (key == m_groundKey && !m_ground.isNull())
        return m_ground;
    m_groundKey = key;
    m_ground = QImage((QSizeF(viewport.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    m_ground.setDevicePixelRatio(ratio);
    QPainter ground(&m_ground);
    ground.setRenderHint(QPainter::Antialiasing);
    ground.translate(-viewport.topLeft());
    paintGround(ground, viewport, model, c);
    return m_ground;
}

void GroundRenderer::paintGridLines(QPainter& painter, const QRectF& area, const GridViewModel& model,
                                    const SystemColors& c, bool columns) {
    const qreal ratio = deviceRatio(painter);
    const GridLines lines = gridLinesIn(area, model, c, ratio);
    if (!lines.drawable)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; columns && i < lines.columns; ++i)
        painter.fillRect(QRectF(lines.columnX(i, ratio), area.top(), lines.pixel, area.height()),
                         lines.colour);
    for (int i = 0; i < lines.rows; ++i)
        painter.fillRect(QRectF(area.left(), lines.rowY(i, ratio), area.width(), lines.pixel), lines.colour);
    painter.restore();
}

void GroundRenderer::paintShading(QPainter& painter, const QRectF& area, const GridViewModel& model,
                                  const SystemColors& c) {
    const double x0 = model.panOffset().width();
    const double y0 = model.panOffset().height();
    if (!(area.left() < x0) && !(area.top() < y0))
        return;
    const QColor shade = SystemColors::withAlpha(c.windowBackground, 0.65);
    if (area.left() < x0)
        fillBanded(
            painter,
            QRectF(QPointF(area.left(), area.top()), QPointF(std::min(area.right(), x0), area.bottom())),
            shade);
    const double x1 = std::max(area.left(), x0);
    if (area.top() < y0 && area.right() - x1 > 0)
        fillBanded(painter,
                   QRectF(QPointF(x1, area.top()), QPointF(area.right(), std::min(area.bottom(), y0))),
                   shade);

    std::vector<QLineF> edges;
    if (area.left() < x0 && x0 < area.right() && area.bottom() > std::max(area.top(), y0))
        edges.emplace_back(x0, std::max(area.top(), y0), x0, area.bottom());
    if (area.top() < y0 && y0 < area.bottom())
        edges.emplace_back(std::max(area.left(), x0), y0, area.right(), y0);
    painter.setPen(QPen(SystemColors::withAlpha(c.separator, 0.3), 1.0));
    painter.drawLines(edges.data(), static_cast<int>(edges.size()));
}

} // namespace pexlora
