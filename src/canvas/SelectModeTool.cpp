#include "canvas/SelectModeTool.h"

#include "canvas/CanvasGeometry.h"
#include "canvas/GridCanvasView.h"

namespace pexlora {

GridViewModel& CanvasTool::model() const {
    return *m_canvas.viewModel();
}

void SelectModeTool::pressed(const PointerEvent& event) {
    GridViewModel& grid = model();
    if (const GridElement* hit = canvas().hitElement(event.position)) {
        // Whatever modifier is held, a click replaces the whole selection.
        grid.selectSingle(hit->id);
        return;
    }
    grid.setSelectionGroups({});
    grid.setSelectionModifier(MarqueeModifier::none);
    grid.setMarqueeStart(event.position);
    grid.setMarqueeEnd(event.position);
    grid.setMarqueeModifier(marqueeModifierFromFlags(event.modifiers, grid.latchedMarqueeModifier()));
    m_dragging = true;
}

void SelectModeTool::dragged(const PointerEvent& event) {
    if (!m_dragging)
        return;
    model().setMarqueeEnd(event.position);
    model().setMarqueeModifier(marqueeModifierFromFlags(event.modifiers, model().latchedMarqueeModifier()));
}

void SelectModeTool::released(const PointerEvent&) {
    if (!m_dragging)
        return;
    m_dragging = false;
    model().finishMarquee();
}

void SelectModeTool::cancel() {
    if (!m_dragging)
        return;
    m_dragging = false;
    model().setMarqueeStart(std::nullopt);
    model().setMarqueeEnd(std::nullopt);
}

} // namespace pexlora
