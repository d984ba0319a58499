#include "canvas/CanvasRenderer.h"

#include "canvas/CanvasGeometry.h"
#include "canvas/MarqueeColors.h"
#include "canvas/SelectionPreview.h"
#include "model/GridViewModel.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace pexlora {

namespace {

using namespace Qt::StringLiterals;

constexpr double cellInset = 2.0;
constexpr double cornerRadius = 4.0;
// More lines than this would be a solid fill anyway.
constexpr double maxGridLines = 4096;

// Device pixels per point of what the painter paints on.
qreal deviceRatio(const QPainter& painter) {
    return painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
}

int logicalDpi(const QPainter& painter) {
    const int dpi = painter.device() ? painter.device()->logicalDpiY() : 96;
    return dpi > 0 ? dpi : 96;
}

// A font `size` design points high; design points are device-independent pixels.
QFont sized(QFont font, double size, const QPainter& painter, QFont::Weight weight) {
    font.setPointSizeF(size * 72.0 / logicalDpi(painter));
    font.setWeight(weight);
    return font;
}

QPointF snapped(QPointF p, qreal ratio) {
    return {std::round(p.x() * ratio) / ratio, std::round(p.y() * ratio) / ratio};
}

QPainterPath cellShape(const QRectF& cell) {
    QPainterPath shape;
    shape.addRoundedRect(cell.adjusted(cellInset, cellInset, -cellInset, -cellInset), cornerRadius,
                         cornerRadius);
    return shape;
}

} // namespace

QRectF CanvasRenderer::drawnExtent(const QRectF& cellRect) {
    const double m = CellImageCache::glowMargin;
    return cellRect.adjusted(-m, -m, m, m);
}

void CanvasRenderer::paint(QPainter& painter, const QRegion& dirty, const QRect& viewport,
                           const GridViewModel& model, const CanvasOverlay& overlay,
                           const SelectionPreview& preview, double now, const SystemColors& colors) {
    painter.save();
    painter.setClipRegion(dirty, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    if (dirty.rectCount() == 1 && dirty.boundingRect().contains(viewport)) {
        // A whole repaint (panning, zooming) draws the ground directly.
        paintGround(painter, dirty.boundingRect(), model, colors);
    } else {
        // A partial one (a preview tick) copies it from an image of the whole
        // view, so that grid lines are not rasterised again through a clip.
        const QImage& ground = groundImage(viewport, painter, model, colors);
        const qreal ratio = ground.devicePixelRatio();
        for (const QRect& rect : dirty)
            painter.drawImage(
                QRectF(rect), ground,
                QRectF(QPointF(rect.topLeft() - viewport.topLeft()) * ratio, QSizeF(rect.size()) * ratio));
    }
    paintCells(painter, dirty, model, overlay, preview, now, colors);
    if (model.mode() == AppMode::edit && model.editTool() == EditTool::addElement && !overlay.addLine.empty())
        paintAddLine(painter, model, overlay, colors);
    if (model.marqueeStart() && model.marqueeEnd())
        paintMarquee(painter, model, colors);
    if (overlay.editMarquee)
        paintEditMarquee(painter, *overlay.editMarquee, colors);
    if (model.mode() == AppMode::edit && model.editTool() == EditTool::quickRenumber &&
        overlay.quickRenumberAt)
        paintQuickRenumberLabel(painter, *overlay.quickRenumberAt, model, colors);
    painter.restore();
}

void CanvasRenderer::paintGround(QPainter& painter, const QRectF& area, const GridViewModel& model,
                                 const SystemColors& c) {
    painter.fillRect(area, c.controlBackground);
    paintGridLines(painter, area, model, c);
    paintShading(painter, area, model, c);
}

const QImage& CanvasRenderer::groundImage(const QRect& viewport, const QPainter& painter,
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

void CanvasRenderer::paintGridLines(QPainter& painter, const QRectF& area, const GridViewModel& model,
                                    const SystemColors& c) {
    const double size = model.cellSize();
    const QSizeF pan = model.panOffset();
    if (!(size > 0) || !std::isfinite(size) || area.width() / size > maxGridLines ||
        area.height() / size > maxGridLines)
        return;
    // Counted from the first line at or before the area, in floating point, so a
    // pan of ±1e9 at zoom 0.1 still gives a few hundred lines and no overflow.
    const double x0 = firstLineIndex(area.left(), size, pan.width()) * size + pan.width();
    const double y0 = firstLineIndex(area.top(), size, pan.height()) * size + pan.height();
    const int columns = static_cast<int>(std::ceil((area.right() - x0) / size)) + 1;
    const int rows = static_cast<int>(std::ceil((area.bottom() - y0) / size)) + 1;
    // Half-point lines as one-device-pixel strips with the alpha scaled to match:
    // they look the same, and filling a strip costs a fraction of rasterising an
    // anti-aliased line.
    const qreal ratio = deviceRatio(painter);
    const double pixel = 1.0 / ratio;
    QColor colour = SystemColors::withAlpha(c.separator, 0.25 * std::min(1.0, 0.5 / pixel));
    // The strips lie on the opaque background, so they take the blended colour
    // itself: the same pixels, and Qt fills an opaque rectangle as plain memory
    // where it blends a translucent one span by span, handing every tall strip
    // to its worker threads, which costs more than the strip.
    if (c.controlBackground.alpha() == 255)
        colour = SystemColors::over(colour, c.controlBackground);
    const auto snap = [ratio](double v) { return std::floor(v * ratio) / ratio; };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < columns; ++i)
        painter.fillRect(QRectF(snap(x0 + i * size), area.top(), pixel, area.height()), colour);
    for (int i = 0; i < rows; ++i)
        painter.fillRect(QRectF(area.left(), snap(y0 + i * size), area.width(), pixel), colour);
    painter.restore();
}

void CanvasRenderer::paintShading(QPainter& painter, const QRectF& area, const GridViewModel& model,
                                  const SystemColors& c) {
    const double x0 = model.panOffset().width();
    const double y0 = model.panOffset().height();
    if (!(area.left() < x0) && !(area.top() < y0))
        return;
    const QColor shade = SystemColors::withAlpha(c.windowBackground, 0.65);
    if (area.left() < x0)
        painter.fillRect(
            QRectF(QPointF(area.left(), area.top()), QPointF(std::min(area.right(), x0), area.bottom())),
            shade);
    const double x1 = std::max(area.left(), x0);
    if (area.top() < y0 && area.right() - x1 > 0)
        painter.fillRect(QRectF(QPointF(x1, area.top()), QPointF(area.right(), std::min(area.bottom(), y0))),
                         shade);

    std::vector<QLineF> edges;
    if (area.left() < x0 && x0 < area.right() && area.bottom() > std::max(area.top(), y0))
        edges.emplace_back(x0, std::max(area.top(), y0), x0, area.bottom());
    if (area.top() < y0 && y0 < area.bottom())
        edges.emplace_back(std::max(area.left(), x0), y0, area.right(), y0);
    painter.setPen(QPen(SystemColors::withAlpha(c.separator, 0.3), 1.0));
    painter.drawLines(edges.data(), static_cast<int>(edges.size()));
}

std::vector<std::size_t> CanvasRenderer::cellsToPaint(const QRegion& dirty, const GridViewModel& model,
                                                      const CanvasOverlay& overlay) const {
    const GridElements& elements = model.elements();
    const GridLayout& layout = model.layout();
    const double size = model.cellSize();
    const QSizeF pan = model.panOffset();
    std::vector<std::size_t> indices;
    if (!(size > 0) || !std::isfinite(size))
        return indices;

    struct Span {
        IndexRange columns;
        IndexRange rows;
    };
    std::vector<Span> spans;
    std::uint64_t places = 0;
    for (const QRect& rect : dirty) {
        const QRectF area = drawnExtent(QRectF(rect));
        Span span{cellsCovering(area.left(), area.right(), size, pan.width()),
                  cellsCovering(area.top(), area.bottom(), size, pan.height())};
        const std::uint64_t columns = span.columns.count();
        const std::uint64_t rows = span.rows.count();
        places += (rows != 0 && columns > UINT64_MAX / rows) ? UINT64_MAX : columns * rows;
        spans.push_back(span);
    }

    // Two hash lookups a place cost about as much as testing sixteen cells, so
    // the index pays only when the layout is much larger than the view.
    if (places < elements.size() / 16) {
        for (const Span& span : spans) {
            for (std::uint64_t r = 0; r < span.rows.count(); ++r) {
                const auto row = static_cast<std::int64_t>(static_cast<std::uint64_t>(span.rows.first) + r);
                for (std::uint64_t k = 0; k < span.columns.count(); ++k) {
                    const auto col =
                        static_cast<std::int64_t>(static_cast<std::uint64_t>(span.columns.first) + k);
                    if (const auto id = layout.elementAt({col, row}))
                        indices.push_back(*layout.indexOf(*id));
                }
            }
        }
    } else {
        const QRectF bounds = dirty.boundingRect();
        for (std::size_t i = 0; i < elements.size(); ++i) {
            if (drawnExtent(model.cellRect(elements[i].position)).intersects(bounds))
                indices.push_back(i);
        }
    }
    // Dragged cells are drawn where the pointer took them, not where they stand.
    if (overlay.groupDrag) {
        for (const QUuid& id : model.editSelectedIDs()) {
            if (const auto index = layout.indexOf(id))
                indices.push_back(*index);
        }
    }
    // Later cells paint over earlier ones, as in the list.
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    return indices;
}

void CanvasRenderer::paintCells(QPainter& painter, const QRegion& dirty, const GridViewModel& model,
                                const CanvasOverlay& overlay, const SelectionPreview& preview, double now,
                                const SystemColors& c) {
    const std::vector<std::size_t> indices = cellsToPaint(dirty, model, overlay);
    if (indices.empty())
        return;
    const double size = model.cellSize();
    const QSizeF pan = model.panOffset();
    const qreal ratio = deviceRatio(painter);
    m_images.prepare(size, ratio, c,
                     c.controlBackground.rgba() ^ c.accent.rgba() ^ c.windowBackground.rgba());

    const bool selectMode = model.mode() == AppMode::select;
    const bool editMode = model.mode() == AppMode::edit;
    const QSet<QUuid>& editSelected = model.editSelectedIDs();
    QSet<QUuid> selected;
    QHash<QUuid, int> order;
    if (selectMode) {
        const auto frames =
            SelectionPreview::previewFrames(model.selectionGroups(), model.selectionModifier());
        for (std::size_t f = 0; f < frames.size(); ++f) {
            for (const QUuid& id : frames[f]) {
                selected.insert(id);
                order.insert(id, static_cast<int>(f + 1)); // an ID in several frames shows the last
            }
        }
    }
    const bool labels = model.zoomScale() >= minLabelZoom;
    const QFont base = painter.font();
    const double box = size - 2 * cellInset;
    const double labelSize = std::min(13.0, 0.26 * box);
    m_labels.setFont(sized(base, labelSize, painter, QFont::Normal));
    const QRectF bounds = dirty.boundingRect();
    const bool manyRects = dirty.rectCount() > 1;

    struct Badge {
        QRectF box;
        int order;
    };
    std::vector<Badge> badges;
    const GridElements& elements = model.elements();
    painter.setFont(m_labels.font());
    painter.setPen(c.label);
    QColor pen = c.label; // a pen per cell would cost as much as its image
    for (const std::size_t i : indices) {
        const GridElement& e = elements[i];
        const bool inGroupDrag = overlay.groupDrag && editSelected.contains(e.id);
        const bool isEditSelected = editMode && editSelected.contains(e.id);
        const bool inSelection = selectMode && selected.contains(e.id);
        double col = static_cast<double>(e.position.col);
        double row = static_cast<double>(e.position.row);
        if (inGroupDrag) {
            col += static_cast<double>(overlay.groupDrag->columns);
            row += static_cast<double>(overlay.groupDrag->rows);
        }
        const QRectF cell(col * size + pan.width(), row * size + pan.height(), size, size);
        const double glow = preview.glow(e.id, now);
        const QRectF extent = glow > 0 ? drawnExtent(cell) : cell;
        if (!extent.intersects(bounds) || (manyRects && !dirty.intersects(extent.toAlignedRect())))
            continue;

        const auto fill = inGroupDrag      ? CellImageCache::Fill::groupDrag
                          : isEditSelected ? CellImageCache::Fill::editSelected
                          : inSelection    ? CellImageCache::Fill::selected
                                           : CellImageCache::Fill::ordinary;
        const double margin = CellImageCache::glowLevel(glow) > 0 ? CellImageCache::glowMargin : 0.0;
        painter.drawImage(snapped(cell.topLeft() - QPointF(margin, margin), ratio),
                          m_images.cell(fill, glow));

        if (!labels)
            continue;
        const QRectF inner = cell.adjusted(cellInset, cellInset, -cellInset, -cellInset);
        if (const QColor text = m_images.textColor(fill, glow, inSelection || inGroupDrag); text != pen) {
            painter.setPen(text);
            pen = text;
        }
        paintNumber(painter, inner, e.numberString, labelSize);
        if (const auto found = order.constFind(e.id); found != order.cend())
            badges.push_back({inner, *found});
    }
    // Badges only come with a selection, so they go in a pass of their own
    // rather than switching fonts at every cell.
    if (!badges.empty()) {
        m_badges.setFont(sized(base, std::max(7.0, 0.55 * std::min(16.0, 0.3 * box)), painter, QFont::Bold));
        painter.setFont(m_badges.font());
        for (const Badge& badge : badges)
            paintBadge(painter, badge.box, badge.order);
    }
    painter.setFont(base);
}

void CanvasRenderer::paintNumber(QPainter& painter, const QRectF& box, const QString& number,
                                 double fontSize) {
    const LabelCache::Label& label = m_labels.label(number);
    const QPointF centre = box.center();
    const LabelCache::Line& upper = label.upper;
    if (!label.lower) {
        painter.drawStaticText(centre - QPointF(upper.size.width() / 2, upper.size.height() / 2), upper.text);
        return;
    }
    // Split at the first point: "12.5" shows 12 over .5, one line pitch apart.
    const double pitch = fontSize + 3;
    painter.drawStaticText(QPointF(centre.x() - upper.size.width() / 2, centre.y() - pitch), upper.text);
    painter.drawStaticText(QPointF(centre.x() - label.lower->size.width() / 2, centre.y()),
                           label.lower->text);
}

void CanvasRenderer::paintBadge(QPainter& painter, const QRectF& box, int order) {
    const double d = std::min(16.0, 0.3 * box.width());
    const QRectF disc(box.right() - d - 2, box.top() + 2, d, d);
    painter.drawImage(snapped(disc.topLeft(), deviceRatio(painter)), m_images.badge(d));
    const LabelCache::Line& digits = m_badges.label(QString::number(order)).upper;
    painter.setPen(Qt::white);
    painter.drawStaticText(disc.center() - QPointF(digits.size.width() / 2, digits.size.height() / 2),
                           digits.text);
}

void CanvasRenderer::paintAddLine(QPainter& painter, const GridViewModel& model, const CanvasOverlay& overlay,
                                  const SystemColors& c) {
    QPen dashed(c.accent, 1.5);
    dashed.setDashPattern({4.0 / 1.5, 3.0 / 1.5}); // Qt dashes count in pen widths
    painter.setPen(dashed);
    painter.setBrush(SystemColors::withAlpha(c.accent, 0.15));
    for (const GridPosition& p : overlay.addLine)
        painter.drawPath(cellShape(model.cellRect(p)));
    painter.setBrush(Qt::NoBrush);
}

void CanvasRenderer::paintMarquee(QPainter& painter, const GridViewModel& model, const SystemColors& c) {
    const QPointF a = *model.marqueeStart();
    const QPointF b = *model.marqueeEnd();
    const QRectF m(QPointF(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                   QPointF(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
    if (m.width() <= 1 || m.height() <= 1)
        return;
    const QColor color = marqueeColor(model.marqueeModifier(), c);
    painter.fillRect(m, SystemColors::withAlpha(color, 0.1));

    // Guides on the cell boundaries show how the cells will be taken.
    const double s = model.cellSize();
    const QSizeF pan = model.panOffset();
    std::vector<QLineF> guides;
    const bool drawable = s > 0 && std::isfinite(s) && (m.width() + m.height()) / s < maxGridLines;
    switch (model.marqueeModifier()) {
    case MarqueeModifier::option:
    case MarqueeModifier::shift:
        for (double x = (firstLineIndex(m.left(), s, pan.width()) + 1) * s + pan.width();
             drawable && x < m.right(); x += s)
            guides.emplace_back(x, m.top(), x, m.bottom());
        break;
    case MarqueeModifier::command:
        for (double y = (firstLineIndex(m.top(), s, pan.height()) + 1) * s + pan.height();
             drawable && y < m.bottom(); y += s)
            guides.emplace_back(m.left(), y, m.right(), y);
        break;
    case MarqueeModifier::control:
        for (double x = firstLineIndex(m.left() - m.height(), s, pan.width()) * s + pan.width();
             drawable && x < m.right(); x += s)
            guides.emplace_back(x, m.top(), x + m.height(), m.bottom());
        break;
    case MarqueeModifier::none:
        break;
    }
    painter.save();
    painter.setClipRect(m, Qt::IntersectClip);
    painter.setPen(QPen(SystemColors::withAlpha(color, 0.4), 0.5));
    painter.drawLines(guides.data(), static_cast<int>(guides.size()));
    painter.restore();

    QPen outline(color, 1.5);
    outline.setDashPattern({5.0 / 1.5, 3.0 / 1.5});
    painter.setPen(outline);
    painter.drawRect(m);
}

void CanvasRenderer::paintEditMarquee(QPainter& painter, const QRectF& marquee, const SystemColors& c) {
    if (marquee.width() <= 1 || marquee.height() <= 1)
        return;
    painter.fillRect(marquee, SystemColors::withAlpha(c.label, 0.05));
    QPen outline(SystemColors::withAlpha(c.label, 0.4), 1.0);
    outline.setDashPattern({4.0, 3.0});
    painter.setPen(outline);
    painter.drawRect(marquee);
}

namespace {

QFont quickRenumberFont(QFont base, int dpi) {
    base.setPointSizeF(12.0 * 72.0 / (dpi > 0 ? dpi : 96));
    base.setWeight(QFont::DemiBold);
    return base;
}

QString quickRenumberText(const QString& next) {
    return u"→ "_s + next;
}

} // namespace

QRectF CanvasRenderer::quickRenumberLabelRect(QPointF pointer, const QString& next, const QFont& base,
                                              int dpi) {
    const QSizeF size =
        QFontMetricsF(quickRenumberFont(base, dpi)).size(Qt::TextSingleLine, quickRenumberText(next));
    return {pointer.x() + 14, pointer.y() - (size.height() + 5) / 2, size.width() + 10, size.height() + 5};
}

void CanvasRenderer::paintQuickRenumberLabel(QPainter& painter, QPointF pointer, const GridViewModel& model,
                                             const SystemColors& c) {
    const QFont base = painter.font();
    const int dpi = logicalDpi(painter);
    const QRectF label = quickRenumberLabelRect(pointer, model.quickRenumberNext(), base, dpi);
    painter.setPen(Qt::NoPen);
    painter.setBrush(c.accent);
    painter.drawRoundedRect(label, 4, 4);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::white);
    painter.setFont(quickRenumberFont(base, dpi));
    painter.drawText(label.adjusted(5, 2.5, -5, -2.5), Qt::TextSingleLine,
                     quickRenumberText(model.quickRenumberNext()));
    painter.setFont(base);
}

} // namespace pexlora
