// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/CanvasTool.h"
#include "model/GridElement.h"

#include <optional>
#include <vector>

namespace pexlora {

// Edit mode's Add tool: a click places a cell, a drag places a straight line.
class AddElementTool final : public CanvasTool {
public:
    using CanvasTool::CanvasTool;

    void pressed(const PointerEvent& event) override;
    void dragged(const PointerEvent& event) override;
    void released(const PointerEvent& event) override;
    void cancel() override;
    Qt::CursorShape cursor() const override { return Qt::CrossCursor; }
    void paintOverlay(QPainter& painter, const SystemColors& colors, std::optional<QPointF>) const override;

private:
    // The cells the drag under way would place, from where it began.
    std::vector<GridPosition> line() const;

    std::optional<GridPosition> m_start;
    std::optional<GridPosition> m_current;
};

} // namespace pexlora
