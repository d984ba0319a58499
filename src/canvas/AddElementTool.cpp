// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/AddElementTool.h"

#include "canvas/CanvasGeometry.h"
#include "canvas/CellShape.h"
#include "model/GridViewModel.h"
#include "widgets/SystemColors.h"

#include <QPainter>

namespace pexlora {

void AddElementTool::pressed(const PointerEvent& event) {
    m_start = m_current = model().gridPosition(event.position);
    context().repaint();
}

void AddElementTool::dragged(const PointerEvent& event) {
    if (!m_start)
        return;
    m_current = model().gridPosition(event.position);
    context().repaint();
}

void AddElementTool::released(const PointerEvent&) {
    if (!m_start || !m_current)
        return;
    const std::vector<GridPosition> positions = line();
    m_start.reset();
    m_current.reset();
    model().placeElements(positions);
    context().repaint();
}

void AddElementTool::cancel() {
    m_start.reset();
    m_current.reset();
}

std::vector<GridPosition> AddElementTool::line() const {
    if (!m_start || !m_current)
        return {};
    // The whole line between the two cells, however far the grid was panned
    // during the drag; a line longer than any rig only up to that length.
    constexpr std::size_t maxLine = 100'000;
    return linePositions(*m_start, *m_current, maxLine);
}

void AddElementTool::paintOverlay(QPainter& painter, const SystemColors& colors,
                                  std::optional<QPointF>) const {
    const std::vector<GridPosition> positions = line();
    if (positions.empty())
        return;
    QPen dashed(colors.accent, 1.5);
    dashed.setDashPattern({4.0 / 1.5, 3.0 / 1.5}); // Qt dashes count in pen widths
    painter.setPen(dashed);
    painter.setBrush(SystemColors::withAlpha(colors.accent, 0.15));
    for (const GridPosition& p : positions)
        painter.drawPath(cellShape(model().cellRect(p)));
    painter.setBrush(Qt::NoBrush);
}

} // namespace pexlora
