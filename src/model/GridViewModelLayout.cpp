#include "model/GridViewModel.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace pexlora {

void GridViewModel::placeElement(GridPosition position) {
    if (m_positionIndex.contains(position))
        return;
    GridElement element{QUuid::createUuid(), position, m_numbers.nextFree()};
    m_positionIndex.insert(position, element.id);
    m_numbers.add(element.numberString);
    m_elements.push_back(std::move(element));
    emit elementsChanged();
    markDirty();
}

void GridViewModel::moveEditSelection(std::int64_t columnOffset, std::int64_t rowOffset) {
    if (columnOffset == 0 && rowOffset == 0)
        return;

    struct Step {
        std::size_t index;
        GridPosition from;
        GridPosition to;
    };

    // One walk finds the first element of every selected ID.
    QHash<QUuid, std::size_t> firstIndex;
    firstIndex.reserve(m_editSelectedIDs.size());
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        const QUuid& id = m_elements[i].id;
        if (m_editSelectedIDs.contains(id) && !firstIndex.contains(id))
            firstIndex.insert(id, i);
    }

    std::vector<Step> plan;
    plan.reserve(static_cast<std::size_t>(firstIndex.size()));
    for (const QUuid& id : m_editSelectedIDs) {
        const auto found = firstIndex.constFind(id);
        if (found == firstIndex.constEnd())
            continue;
        const GridPosition from = m_elements[*found].position;
        GridPosition to;
        // A coordinate that would overflow is as far off the grid as a negative one.
        if (__builtin_add_overflow(from.col, columnOffset, &to.col) ||
            __builtin_add_overflow(from.row, rowOffset, &to.row) || to.col < 0 || to.row < 0)
            return;
        plan.push_back({*found, from, to});
    }

    // A taken position is no obstacle when its cell moves away in the same step.
    // Asking whether the cell is leaving, rather than whether its ID is selected,
    // also keeps a file with a repeated ID from stacking two cells on one place.
    QSet<GridPosition> leaving;
    leaving.reserve(static_cast<qsizetype>(plan.size()));
    for (const Step& step : plan)
        leaving.insert(step.from);
    for (const Step& step : plan) {
        if (m_positionIndex.contains(step.to) && !leaving.contains(step.to))
            return;
    }

    // Clearing every old position first lets cells move onto places that other
    // selected cells are leaving in the same move.
    for (const Step& step : plan)
        m_positionIndex.remove(step.from);
    for (const Step& step : plan) {
        GridElement& element = m_elements[step.index];
        element.position = step.to;
        m_positionIndex.insert(step.to, element.id);
    }
    if (!plan.empty())
        emit elementsChanged();
    markDirty();
}

void GridViewModel::deleteEditSelection() {
    QSet<QUuid> pending = m_editSelectedIDs;
    const auto firstRemoved =
        std::remove_if(m_elements.begin(), m_elements.end(), [&](const GridElement& element) {
            // Only the first element of an ID goes, as a lookup by ID would find it.
            if (!pending.remove(element.id))
                return false;
            m_positionIndex.remove(element.position);
            m_numbers.remove(element.numberString);
            return true;
        });
    const bool removed = firstRemoved != m_elements.end();
    m_elements.erase(firstRemoved, m_elements.end());
    if (removed)
        emit elementsChanged();
    setEditSelectedIDs({});
    markDirty();
}

} // namespace pexlora
