// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/CanvasToolContext.h"

namespace pexlora {

class GridCanvasView;

// A canvas widget as its tools see it.
class CanvasViewContext final : public CanvasToolContext {
public:
    explicit CanvasViewContext(GridCanvasView& view)
        : m_view(view) {}

    GridViewModel& model() const override;
    const GridElement* hitElement(QPointF point) const override;
    RenumberSession& renumberSession() const override;
    void repaint() override;
    QFont font() const override;
    int logicalDpi() const override;
    QRectF viewRect() const override;

private:
    GridCanvasView& m_view;
};

} // namespace pexlora
