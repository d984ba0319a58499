#include "canvas/AddElementTool.h"

#include "canvas/CanvasGeometry.h"
#include "canvas/GridCanvasView.h"

namespace pexlora {

void AddElementTool::pressed(const PointerEvent& event) {
    m_start = m_current = model().gridPosition(event.position);
    canvas().update();
}

void AddElementTool::dragged(const PointerEvent& event) {
    if (!m_start)
        return;
    m_current = model().gridPosition(event.position);
    canvas().update();
}

void AddElementTool::released(const PointerEvent&) {
    if (!m_start || !m_current)
        return;
    const std::vector<GridPosition> positions = line();
    m_start.reset();
    m_current.reset();
    model().placeElements(positions);
    canvas().update();
}

void AddElementTool::cancel() {
    m_start.reset();
    m_current.reset();
}

std::vector<GridPosition> AddElementTool::line() const {
    if (!m_start || !m_current)
        return {};
    // The whole line between the two cells, however far the grid was panned
    // during the drag; a line longer than any rig only up to that length.
    constexpr std::size_t maxLine = 100'000;
    return linePositions(*m_start, *m_current, maxLine);
}

} // namespace pexlora
