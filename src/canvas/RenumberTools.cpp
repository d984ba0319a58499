#include "canvas/RenumberTools.h"

#include "canvas/GridCanvasView.h"

namespace pexlora {

void RenumberTool::pressed(const PointerEvent& event) {
    if (const GridElement* hit = canvas().hitElement(event.position))
        canvas().showRenumberPopover(hit->id);
}

void QuickRenumberTool::pressed(const PointerEvent& event) {
    if (const GridElement* hit = canvas().hitElement(event.position))
        model().applyQuickRenumber(hit->id);
}

void QuickRenumberTool::hovered(QPointF) {
    canvas().updateQuickRenumberLabel();
}

} // namespace pexlora
