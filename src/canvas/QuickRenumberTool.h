// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/CanvasTool.h"

namespace pexlora {

// Edit mode's Quick # tool: every click gives the cell the next number, which
// a label beside the pointer shows, clear of the cell it would number.
class QuickRenumberTool final : public CanvasTool {
public:
    using CanvasTool::CanvasTool;

    // Where a label of `size` stands for the pointer over the square `target`
    // in `view`: below the square, starting right of the pointer; above it when
    // there is no room below, beside it when there is none above either, and
    // pushed in from the view's sides. It never covers the square while the
    // view has room for both.
    static QRectF labelPlacement(QSizeF size, QPointF pointer, const QRectF& target, const QRectF& view);
    // Where the label stands for the pointer, in canvas coordinates.
    QRectF labelRect(QPointF pointer) const;

    void pressed(const PointerEvent& event) override;
    Qt::CursorShape cursor() const override { return Qt::CrossCursor; }
    void paintOverlay(QPainter& painter, const SystemColors& colors,
                      std::optional<QPointF> pointer) const override;
    QRect pointerOverlayArea(QPointF pointer) const override;
};

} // namespace pexlora
