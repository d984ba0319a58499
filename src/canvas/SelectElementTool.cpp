// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/SelectElementTool.h"

#include "canvas/RenumberSession.h"
#include "model/GridViewModel.h"
#include "model/MarqueeOrdering.h"
#include "widgets/SystemColors.h"

#include <QPainter>

namespace pexlora {

void SelectElementTool::pressed(const PointerEvent& event) {
    GridViewModel& grid = model();
    const GridElement* hit = context().hitElement(event.position);
    const bool shift = event.modifiers & Qt::ShiftModifier;
    if (hit && event.clickCount == 2) {
        context().renumberSession().open(hit->id);
    } else if (hit && shift) {
        grid.toggleEditSelection(hit->id);
    } else if (hit) {
        // Pressing a cell that is already selected keeps the whole selection, so
        // that the drag moves all of it.
        if (!grid.editSelectedIDs().contains(hit->id))
            grid.setEditSelectedIDs({hit->id});
        m_groupDragAnchor = m_groupDragCurrent = hit->position;
    } else if (!shift) {
        grid.setEditSelectedIDs({});
        m_marqueeDragging = true;
        m_marqueeStart = m_marqueeEnd = event.position;
    }
    context().repaint();
}

void SelectElementTool::dragged(const PointerEvent& event) {
    if (m_groupDragAnchor) {
        const GridPosition reached = model().gridPosition(event.position);
        if (reached == m_groupDragCurrent)
            return;
        m_groupDragCurrent = reached;
        const auto offset = selectionDragOffset();
        m_dragRefused = offset && (offset->columns != 0 || offset->rows != 0) &&
                        !model().canMoveEditSelection(offset->columns, offset->rows);
        context().repaint();
    } else if (m_marqueeDragging) {
        m_marqueeEnd = event.position;
        context().repaint();
    }
}

void SelectElementTool::released(const PointerEvent&) {
    if (m_groupDragAnchor && m_groupDragCurrent) {
        // A drag let go where it began moves nothing.
        if (const auto offset = selectionDragOffset(); offset && (offset->columns != 0 || offset->rows != 0))
            model().moveEditSelection(offset->columns, offset->rows);
        m_groupDragAnchor.reset();
        m_groupDragCurrent.reset();
        m_dragRefused = false;
        context().repaint();
    } else if (m_marqueeDragging) {
        m_marqueeDragging = false;
        if (m_marqueeStart && m_marqueeEnd)
            model().selectInEditMarquee(*m_marqueeStart, *m_marqueeEnd);
        m_marqueeStart.reset();
        m_marqueeEnd.reset();
        context().repaint();
    }
}

void SelectElementTool::cancel() {
    m_groupDragAnchor.reset();
    m_groupDragCurrent.reset();
    m_dragRefused = false;
    m_marqueeDragging = false;
    m_marqueeStart.reset();
    m_marqueeEnd.reset();
}

std::optional<GridOffset> SelectElementTool::selectionDragOffset() const {
    if (!m_groupDragAnchor || !m_groupDragCurrent)
        return std::nullopt;
    GridOffset offset;
    // A cell read from a file may lie at the far end of the range; such a drag is
    // no move at all rather than an overflow.
    if (__builtin_sub_overflow(m_groupDragCurrent->col, m_groupDragAnchor->col, &offset.columns) ||
        __builtin_sub_overflow(m_groupDragCurrent->row, m_groupDragAnchor->row, &offset.rows))
        return GridOffset{};
    return offset;
}

std::optional<QRectF> SelectElementTool::editMarquee() const {
    if (!m_marqueeDragging || !m_marqueeStart || !m_marqueeEnd)
        return std::nullopt;
    return marqueeRect(*m_marqueeStart, *m_marqueeEnd);
}

void SelectElementTool::paintOverlay(QPainter& painter, const SystemColors& colors,
                                     std::optional<QPointF>) const {
    const std::optional<QRectF> marquee = editMarquee();
    if (!marquee || marquee->width() <= 1 || marquee->height() <= 1)
        return;
    painter.fillRect(*marquee, SystemColors::withAlpha(colors.label, 0.05));
    QPen outline(SystemColors::withAlpha(colors.label, 0.4), 1.0);
    outline.setDashPattern({4.0, 3.0});
    painter.setPen(outline);
    painter.drawRect(*marquee);
}

} // namespace pexlora
