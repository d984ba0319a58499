// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/CanvasViewContext.h"

#include "canvas/GridCanvasView.h"

namespace pexlora {

GridViewModel& CanvasViewContext::model() const {
    return *m_view.viewModel();
}

const GridElement* CanvasViewContext::hitElement(QPointF point) const {
    return m_view.hitElement(point);
}

RenumberSession& CanvasViewContext::renumberSession() const {
    return m_view.renumberSession();
}

void CanvasViewContext::repaint() {
    m_view.update();
}

QFont CanvasViewContext::font() const {
    return m_view.font();
}

int CanvasViewContext::logicalDpi() const {
    return m_view.logicalDpiY();
}

QRectF CanvasViewContext::viewRect() const {
    return m_view.rect();
}

} // namespace pexlora
