// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/SelectModeTool.h"

#include "canvas/CanvasGeometry.h"
#include "canvas/CellShape.h"
#include "canvas/MarqueeColors.h"
#include "model/GridViewModel.h"
#include "widgets/SystemColors.h"

#include <QApplication>
#include <QPainter>
#include <cmath>
#include <utility>
#include <vector>

namespace pexlora {

void SelectModeTool::pressed(const PointerEvent& event) {
    m_pressedOnCell.reset();
    if (const GridElement* hit = context().hitElement(event.position)) {
        // Whatever modifier is held, a click replaces the whole selection.
        model().selectSingle(hit->id);
        m_pressedOnCell = event.position;
        return;
    }
    startMarquee(event.position, event.modifiers);
}

void SelectModeTool::startMarquee(QPointF at, Qt::KeyboardModifiers modifiers) {
    GridViewModel& grid = model();
    grid.setSelectionGroups({});
    grid.setSelectionModifier(MarqueeModifier::none);
    grid.setMarqueeStart(at);
    grid.setMarqueeEnd(at);
    grid.setMarqueeModifier(marqueeModifierFromFlags(modifiers, grid.latchedMarqueeModifier()));
    m_dragging = true;
}

void SelectModeTool::dragged(const PointerEvent& event) {
    if (m_pressedOnCell &&
        (event.position - *m_pressedOnCell).manhattanLength() >= QApplication::startDragDistance()) {
        startMarquee(*std::exchange(m_pressedOnCell, std::nullopt), event.modifiers);
    }
    if (!m_dragging)
        return;
    model().setMarqueeEnd(event.position);
    model().setMarqueeModifier(marqueeModifierFromFlags(event.modifiers, model().latchedMarqueeModifier()));
}

void SelectModeTool::released(const PointerEvent&) {
    m_pressedOnCell.reset();
    if (!m_dragging)
        return;
    m_dragging = false;
    model().finishMarquee();
}

void SelectModeTool::modifiersChanged(Qt::KeyboardModifiers modifiers) {
    // A marquee under way takes the new keys at once, before the pointer moves.
    if (model().marqueeStart())
        model().setMarqueeModifier(marqueeModifierFromFlags(modifiers, model().latchedMarqueeModifier()));
}

void SelectModeTool::cancel() {
    m_pressedOnCell.reset();
    if (!m_dragging)
        return;
    m_dragging = false;
    model().setMarqueeStart(std::nullopt);
    model().setMarqueeEnd(std::nullopt);
}

bool SelectModeTool::overlayFixedToView() const {
    return model().marqueeStart().has_value();
}

void SelectModeTool::paintOverlay(QPainter& painter, const SystemColors& colors,
                                  std::optional<QPointF>) const {
    const GridViewModel& grid = model();
    if (!grid.marqueeStart() || !grid.marqueeEnd())
        return;
    const QPointF a = *grid.marqueeStart();
    const QPointF b = *grid.marqueeEnd();
    const QRectF m(QPointF(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                   QPointF(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
    if (m.width() <= 1 || m.height() <= 1)
        return;
    const QColor color = marqueeColor(grid.marqueeModifier(), colors);
    painter.fillRect(m, SystemColors::withAlpha(color, 0.1));

    // Guides on the cell boundaries show how the cells will be taken.
    const double s = grid.cellSize();
    const QSizeF pan = grid.panOffset();
    std::vector<QLineF> guides;
    const bool drawable = s > 0 && std::isfinite(s) && (m.width() + m.height()) / s < maxGridLines;
    switch (grid.marqueeModifier()) {
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

} // namespace pexlora
