#include "canvas/AddElementTool.h"

#include "canvas/CanvasGeometry.h"
#include "canvas/GridCanvasView.h"

#include <algorithm>
#include <cmath>

namespace pexlora {

void AddElementTool::pressed(const PointerEvent& event) {
    m_start = m_current = model().gridPosition(event.position);
    m_pressPoint = m_pointer = event.position;
    canvas().update();
}

void AddElementTool::dragged(const PointerEvent& event) {
    if (!m_start)
        return;
    m_current = model().gridPosition(event.position);
    m_pointer = event.position;
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
    // No more cells than the pointer travelled over, whatever the two grid
    // positions say (one more for each end cell it only entered).
    const double travelled =
        std::max(std::abs(m_pointer.x() - m_pressPoint.x()), std::abs(m_pointer.y() - m_pressPoint.y()));
    const double cells = std::floor(travelled / model().cellSize()) + 2;
    const std::size_t bound = cells >= 0 && cells < 1e6 ? static_cast<std::size_t>(cells) : 1'000'000;
    return linePositions(*m_start, *m_current, bound);
}

} // namespace pexlora
