// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/CanvasGeometry.h"
#include "canvas/CanvasTool.h"
#include "model/GridElement.h"

#include <QRectF>
#include <optional>

namespace pexlora {

// Edit mode's Select tool: click or Shift-click cells into the edit selection,
// drag it to a new place, rubber-band more cells, Delete them, double-click one
// to renumber it. A drag to where the model would refuse the move shows so
// while it lasts.
class SelectElementTool final : public CanvasTool {
public:
    using CanvasTool::CanvasTool;

    void pressed(const PointerEvent& event) override;
    void dragged(const PointerEvent& event) override;
    void released(const PointerEvent& event) override;
    void cancel() override;

    std::optional<GridOffset> selectionDragOffset() const override;
    bool selectionDragRefused() const override { return m_dragRefused; }
    void paintOverlay(QPainter& painter, const SystemColors& colors, std::optional<QPointF>) const override;
    bool overlayFixedToView() const override { return editMarquee().has_value(); }

private:
    // The rubber band being dragged, spanned by its two points.
    std::optional<QRectF> editMarquee() const;

    std::optional<GridPosition> m_groupDragAnchor;
    std::optional<GridPosition> m_groupDragCurrent;
    bool m_dragRefused = false; // asked of the model once per place the drag reaches
    bool m_marqueeDragging = false;
    std::optional<QPointF> m_marqueeStart;
    std::optional<QPointF> m_marqueeEnd;
};

} // namespace pexlora
