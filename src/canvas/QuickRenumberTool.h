// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/CanvasTool.h"

namespace pexlora {

// Edit mode's Quick # tool: every click gives the cell the next number, which
// a label beside the pointer shows.
class QuickRenumberTool final : public CanvasTool {
public:
    using CanvasTool::CanvasTool;
    void pressed(const PointerEvent& event) override;
    Qt::CursorShape cursor() const override { return Qt::CrossCursor; }
    void paintOverlay(QPainter& painter, const SystemColors& colors,
                      std::optional<QPointF> pointer) const override;
    QRect pointerOverlayArea(QPointF pointer) const override;
};

} // namespace pexlora
