// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/CellRenderer.h"

#include "canvas/CanvasGeometry.h"
#include "canvas/CellLevels.h"
#include "canvas/CellShape.h"
#include "canvas/DevicePixels.h"
#include "canvas/SelectionPreview.h"
#include "model/GridViewModel.h"
#include "widgets/SystemColors.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace pexlora {

namespace {

// A font `size` design points high; design points are device-independent pixels.
QFont sized(QFont font, double size, const QPainter& painter, QFont::Weight weight) {
    font.setPointSizeF(size * 72.0 / logicalDpi(painter));
    font.setWeight(weight);
    return font;
}

// Where a refused move would have put its cells.
void paintRefusedMove(QPainter& painter, const std::vector<QRectF>& cells, const SystemColors& c) {
    if (cells.empty())
        return;
    // Outlines only, so the numbers of the cells in the way stay as they are.
    painter.setPen(QPen(c.red, 2.0));
    painter.setBrush(Qt::NoBrush);
    for (const QRectF& cell : cells)
        painter.drawPath(cellShape(cell));
}

} // namespace

QRectF CellRenderer::drawnExtent(const QRectF& cellRect) {
    const double m = CellImageCache::glowMargin;
    return cellRect.adjusted(-m, -m, m, m);
}

std::vector<std::size_t> CellRenderer::cellsToPaint(const QRegion& dirty, const GridViewModel& model,
                                                    const CellMarks& marks) const {
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
    if (marks.dragOffset) {
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

void CellRenderer::paint(QPainter& painter, const QRegion& dirty, const GridViewModel& model,
                         const CellMarks& marks, const SelectionPreview& preview, double now,
                         const SystemColors& c) {
    const std::vector<std::size_t> indices = cellsToPaint(dirty, model, marks);
    if (indices.empty())
        return;
    const double size = model.cellSize();
    const QSizeF pan = model.panOffset();
    const qreal ratio = deviceRatio(painter);
    // Every colour the images and the number colours are made of.
    const std::size_t paletteKey =
        qHashMulti(0, c.controlBackground.rgba(), c.windowBackground.rgba(), c.separator.rgba(),
                   c.accent.rgba(), c.selectedControl.rgba(), c.label.rgba(), c.selectedControlText.rgba(),
                   c.orange.rgba(), c.yellow.rgba(), c.red.rgba());
    m_images.prepare(size, ratio, c, paletteKey);

    const bool selectMode = model.mode() == AppMode::select;
    const bool editMode = model.mode() == AppMode::edit;
    const QSet<QUuid>& editSelected = model.editSelectedIDs();
    QHash<QUuid, int> order;
    if (selectMode) {
        const auto frames =
            SelectionPreview::previewFrames(model.selectionGroups(), model.selectionModifier());
        for (std::size_t f = 0; f < frames.size(); ++f) {
            for (const QUuid& id : frames[f]) {
                order.insert(id, static_cast<int>(f + 1)); // an ID in several frames shows the last
            }
        }
    }
    const bool labels = model.zoomScale() >= minLabelZoom;
    const QFont base = painter.font();
    const double box = size - 2 * cellInset;
    const double labelSize = std::min(13.0, 0.26 * box);
    m_labels.setFont(sized(base, labelSize, painter, QFont::Normal));
    m_digits.setFont(m_labels.font(), ratio);
    // Most layouts, and every one without a desk, show no levels: nothing is looked up per cell then.
    const CellLevels* levels = marks.levels && !marks.levels->isEmpty() ? marks.levels : nullptr;
    if (levels)
        m_levels.prepare(size, ratio, c, paletteKey, m_labels.font());
    const QRectF bounds = dirty.boundingRect();
    const bool manyRects = dirty.rectCount() > 1;

    struct Badge {
        QRectF box;
        int order;
    };
    std::vector<Badge> badges;
    std::vector<QRectF> ringed;
    std::vector<QRectF> refused;
    std::vector<QRectF> unpatched;
    const GridElements& elements = model.elements();
    // Most cells are plain ones: looked up once rather than per cell.
    const QImage ordinaryImage = m_images.cell(CellImageCache::Fill::ordinary, 0); // shared, not copied
    const QColor ordinaryText = m_images.textColor(CellImageCache::Fill::ordinary, 0, false);
    const QColor ordinaryLitText = m_images.textColor(CellImageCache::Fill::ordinary, 0, false, true);
    painter.setFont(m_labels.font());
    for (const std::size_t i : indices) {
        const GridElement& e = elements[i];
        const bool dragged = marks.dragOffset && editSelected.contains(e.id);
        // A refused move leaves its cells where they will stay, and only outlines
        // where they would have gone: no number lands on another.
        const bool inGroupDrag = dragged && !marks.dragRefused;
        const bool isEditSelected = editMode && editSelected.contains(e.id);
        // Every selected cell has an order number, so one lookup tells both.
        const auto found = selectMode && !order.isEmpty() ? order.constFind(e.id) : order.cend();
        const bool inSelection = found != order.cend();
        double col = static_cast<double>(e.position.col);
        double row = static_cast<double>(e.position.row);
        if (inGroupDrag) {
            col += static_cast<double>(marks.dragOffset->columns);
            row += static_cast<double>(marks.dragOffset->rows);
        }
        const QRectF cell(col * size + pan.width(), row * size + pan.height(), size, size);
        if (dragged && marks.dragRefused)
            refused.push_back(cell.translated(static_cast<double>(marks.dragOffset->columns) * size,
                                              static_cast<double>(marks.dragOffset->rows) * size));
        const double glow = preview.glow(e.id, now);
        const QRectF extent = glow > 0 ? drawnExtent(cell) : cell;
        if (!extent.intersects(bounds) || (manyRects && !dirty.intersects(extent.toAlignedRect())))
            continue;

        const auto fill = inGroupDrag      ? CellImageCache::Fill::groupDrag
                          : isEditSelected ? CellImageCache::Fill::editSelected
                          : inSelection    ? CellImageCache::Fill::selected
                                           : CellImageCache::Fill::ordinary;
        const double margin = m_images.margin(glow);
        // A glow or a dragged cell may overlap other cells: numbers before it
        // go under it, its own under the cells after it, as in the list.
        const bool overlaps = glow > 0 || inGroupDrag;
        if (overlaps)
            flushNumbers(painter);
        const bool plain = fill == CellImageCache::Fill::ordinary && !(glow > 0);
        const CellLevels::Shown shown = levels ? levels->shown(e.id) : CellLevels::Shown{};
        const int percent = shown.percent;
        const bool framed = fill != CellImageCache::Fill::ordinary;
        const bool highlighted = inSelection || inGroupDrag;
        const QRectF inner = cellInner(cell);
        const double fillTop = percent > 0 ? m_levels.fillTop(cell, percent, framed) : cell.bottom();
        // The level's text reads against the fill where the fill reaches its middle;
        // zero is the least of news and recedes.
        const auto levelColour = [&] {
            const QColor colour =
                m_images.textColor(fill, glow, highlighted, fillTop <= m_levels.textMiddle(inner));
            return percent > 0 ? colour : SystemColors::withAlpha(colour, 0.5);
        };
        const QImage& image = plain ? ordinaryImage : m_images.cell(fill, glow);
        // A lit cell without a glow is one image with its fill and level; a
        // glowing one, rarer, gets them drawn over it.
        const bool composed = percent >= 0 && !(glow > 0);
        painter.drawImage(snapped(cell.topLeft() - QPointF(margin, margin), ratio),
                          composed ? m_levels.litCell(image, margin, static_cast<int>(fill), framed, percent,
                                                      labels, levelColour)
                                   : image);
        if (percent >= 0 && !composed) {
            m_levels.paintFill(painter, cell, percent, framed);
            if (labels)
                m_levels.appendText(inner, percent, levelColour());
        }
        if (!marks.consoleSelection.isEmpty() && marks.consoleSelection.contains(e.id))
            ringed.push_back(cell);
        if (shown.unpatched)
            unpatched.push_back(cell);

        if (!labels)
            continue;
        // The number reads against the fill where the fill reaches its middle.
        const bool numberLit = fillTop <= inner.center().y();
        paintNumber(painter, inner, e.numberString, labelSize,
                    plain ? (numberLit ? ordinaryLitText : ordinaryText)
                          : m_images.textColor(fill, glow, highlighted, numberLit));
        if (overlaps)
            flushNumbers(painter);
        if (inSelection)
            badges.push_back({inner, *found});
    }
    flushNumbers(painter);
    // Over every cell, so a neighbour's glow does not cover a mark or a ring, and under the badges.
    m_levels.paintUnpatched(painter, unpatched);
    m_consoleRings.paint(painter, ringed, size, c);
    paintRefusedMove(painter, refused, c);
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

void CellRenderer::paintNumber(QPainter& painter, const QRectF& box, const QString& number, double fontSize,
                               const QColor& color) {
    // Split at the first point: "12.5" shows 12 over .5, one line pitch apart.
    const double pitch = fontSize + 3;
    const QPointF centre = box.center();
    if (m_digits.covers(number)) {
        auto pending = std::find_if(m_pendingNumbers.begin(), m_pendingNumbers.end(),
                                    [&](const auto& run) { return run.first == color; });
        if (pending == m_pendingNumbers.end())
            pending = m_pendingNumbers.insert(m_pendingNumbers.end(), {color, {}});
        const QStringView text(number);
        const qsizetype point = text.indexOf(u'.');
        const double h = m_digits.height();
        if (point < 0) {
            m_digits.append(text, centre - QPointF(m_digits.width(text) / 2, h / 2), pending->second);
            return;
        }
        const QStringView upper = text.left(point);
        const QStringView lower = text.mid(point);
        m_digits.append(upper, QPointF(centre.x() - m_digits.width(upper) / 2, centre.y() - pitch),
                        pending->second);
        m_digits.append(lower, QPointF(centre.x() - m_digits.width(lower) / 2, centre.y()), pending->second);
        return;
    }
    painter.setPen(color);
    const LabelCache::Label& label = m_labels.label(number);
    const LabelCache::Line& upper = label.upper;
    if (!label.lower) {
        painter.drawStaticText(centre - QPointF(upper.size.width() / 2, upper.size.height() / 2), upper.text);
        return;
    }
    painter.drawStaticText(QPointF(centre.x() - upper.size.width() / 2, centre.y() - pitch), upper.text);
    painter.drawStaticText(QPointF(centre.x() - label.lower->size.width() / 2, centre.y()),
                           label.lower->text);
}

void CellRenderer::flushNumbers(QPainter& painter) {
    for (auto& [color, run] : m_pendingNumbers) {
        painter.setPen(color);
        m_digits.draw(painter, run);
    }
    m_pendingNumbers.clear();
    m_levels.flushText(painter);
}

void CellRenderer::paintBadge(QPainter& painter, const QRectF& box, int order) {
    const double d = std::min(16.0, 0.3 * box.width());
    const QRectF disc(box.right() - d - 2, box.top() + 2, d, d);
    painter.drawImage(snapped(disc.topLeft(), deviceRatio(painter)), m_images.badge(d));
    const LabelCache::Line& digits = m_badges.label(QString::number(order)).upper;
    painter.setPen(Qt::white);
    painter.drawStaticText(disc.center() - QPointF(digits.size.width() / 2, digits.size.height() / 2),
                           digits.text);
}

} // namespace pexlora
