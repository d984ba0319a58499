#include "canvas/RenumberTools.h"

#include "canvas/GridCanvasView.h"
#include "canvas/RenumberSession.h"

namespace pexlora {

void RenumberTool::pressed(const PointerEvent& event) {
    if (const GridElement* hit = canvas().hitElement(event.position))
        canvas().renumberSession().open(hit->id);
}

void QuickRenumberTool::pressed(const PointerEvent& event) {
    if (const GridElement* hit = canvas().hitElement(event.position))
        model().applyQuickRenumber(hit->id);
}

} // namespace pexlora
