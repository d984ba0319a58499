// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/GridLayout.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace pexlora {

std::optional<QUuid> GridLayout::elementAt(GridPosition position) const {
    const auto it = m_positionIndex.constFind(position);
    if (it == m_positionIndex.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<std::size_t> GridLayout::indexOf(const QUuid& id) const {
    const auto it = m_firstIndex.constFind(id);
    if (it == m_firstIndex.constEnd())
        return std::nullopt;
    return *it;
}

const GridElement* GridLayout::element(const QUuid& id) const {
    const auto index = indexOf(id);
    return index ? &m_elements[*index] : nullptr;
}

void GridLayout::rebuildFirstIndex() {
    m_firstIndex.clear();
    m_firstIndex.reserve(static_cast<qsizetype>(m_elements.size()));
    for (std::size_t i = 0; i < m_elements.size(); ++i)
        if (!m_firstIndex.contains(m_elements[i].id))
            m_firstIndex.insert(m_elements[i].id, i);
}

bool GridLayout::reset(GridElements elements) {
    const bool changed = elements != m_elements;
    m_elements = std::move(elements);
    m_positionIndex.clear();
    m_positionIndex.reserve(static_cast<qsizetype>(m_elements.size()));
    for (const GridElement& element : m_elements)
        m_positionIndex.insert(element.position, element.id);
    m_numbers.rebuild(m_elements);
    rebuildFirstIndex();
    return changed;
}

std::optional<LayoutEdit::PlacedCell> GridLayout::planPlacement(GridPosition position) const {
    if (isOccupied(position))
        return std::nullopt;
    return LayoutEdit::PlacedCell{m_elements.size(), {QUuid::createUuid(), position, nextFreeNumber()}};
}

std::optional<std::vector<LayoutEdit::MovedCell>> GridLayout::planMove(const QSet<QUuid>& ids,
                                                                      std::int64_t columnOffset,
                                                                      std::int64_t rowOffset) const {
    // One walk finds the first cell of every ID.
    QHash<QUuid, std::size_t> firstIndex;
    firstIndex.reserve(ids.size());
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        const QUuid& id = m_elements[i].id;
        if (ids.contains(id) && !firstIndex.contains(id))
            firstIndex.insert(id, i);
    }

    std::vector<LayoutEdit::MovedCell> plan;
    plan.reserve(static_cast<std::size_t>(firstIndex.size()));
    for (const std::size_t index : std::as_const(firstIndex)) {
        const GridPosition from = m_elements[index].position;
        GridPosition to;
        // A coordinate that would overflow is as far off the grid as a negative one.
        if (__builtin_add_overflow(from.col, columnOffset, &to.col) ||
            __builtin_add_overflow(from.row, rowOffset, &to.row) || to.col < 0 || to.row < 0)
            return std::nullopt;
        plan.push_back({index, from, to});
    }
    // Kept in list order, so the same selection always plans the same edit.
    std::sort(plan.begin(), plan.end(), [](const auto& a, const auto& b) { return a.index < b.index; });

    // A taken position is no obstacle when its cell moves away in the same edit.
    // Asking whether the cell is leaving, rather than whether its ID is selected,
    // also keeps a file with a repeated ID from stacking two cells on one place.
    QSet<GridPosition> leaving;
    leaving.reserve(static_cast<qsizetype>(plan.size()));
    for (const auto& step : plan)
        leaving.insert(step.from);
    for (const auto& step : plan) {
        if (isOccupied(step.to) && !leaving.contains(step.to))
            return std::nullopt;
    }
    return plan;
}

std::vector<LayoutEdit::PlacedCell> GridLayout::planRemoval(const QSet<QUuid>& ids) const {
    std::vector<LayoutEdit::PlacedCell> removed;
    QSet<QUuid> pending = ids;
    for (std::size_t i = 0; i < m_elements.size() && !pending.isEmpty(); ++i) {
        // Only the first cell of an ID goes, as a lookup by ID would find it.
        if (pending.remove(m_elements[i].id))
            removed.push_back({i, m_elements[i]});
    }
    return removed;
}

void GridLayout::apply(const LayoutEdit& edit) {
    renumber(edit.renumbered, Direction::forward);
    move(edit.moved, Direction::forward);
    removeAt(edit.removed);
    insertAt(edit.added);
}

void GridLayout::revert(const LayoutEdit& edit) {
    removeAt(edit.added);
    insertAt(edit.removed);
    move(edit.moved, Direction::backward);
    renumber(edit.renumbered, Direction::backward);
}

void GridLayout::renumber(const std::vector<LayoutEdit::RenumberedCell>& cells, Direction direction) {
    for (const auto& cell : cells) {
        QString& text = m_elements[cell.index].numberString;
        m_numbers.remove(text);
        text = direction == Direction::forward ? cell.to : cell.from;
        m_numbers.add(text);
    }
}

void GridLayout::move(const std::vector<LayoutEdit::MovedCell>& cells, Direction direction) {
    const bool forward = direction == Direction::forward;
    // Clearing every old position first lets cells move onto places that other
    // cells of the same edit are leaving.
    for (const auto& cell : cells)
        m_positionIndex.remove(forward ? cell.from : cell.to);
    for (const auto& cell : cells) {
        GridElement& element = m_elements[cell.index];
        element.position = forward ? cell.to : cell.from;
        m_positionIndex.insert(element.position, element.id);
    }
}

void GridLayout::removeAt(const std::vector<LayoutEdit::PlacedCell>& cells) {
    if (cells.empty())
        return;
    // One pass closes every gap, so deleting many cells stays linear.
    std::size_t next = 0;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        if (next < cells.size() && cells[next].index == i) {
            m_positionIndex.remove(m_elements[i].position);
            m_numbers.remove(m_elements[i].numberString);
            ++next;
            continue;
        }
        if (kept != i)
            m_elements[kept] = std::move(m_elements[i]);
        ++kept;
    }
    m_elements.resize(kept);
    rebuildFirstIndex();
}

void GridLayout::insertAt(const std::vector<LayoutEdit::PlacedCell>& cells) {
    if (cells.empty())
        return;
    for (const auto& cell : cells) {
        m_positionIndex.insert(cell.element.position, cell.element.id);
        m_numbers.add(cell.element.numberString);
    }
    // Placing appends; only taking back a deletion puts cells between others.
    if (cells.front().index >= m_elements.size()) {
        for (const auto& cell : cells) {
            if (!m_firstIndex.contains(cell.element.id))
                m_firstIndex.insert(cell.element.id, m_elements.size());
            m_elements.push_back(cell.element);
        }
        return;
    }
    GridElements merged;
    merged.reserve(m_elements.size() + cells.size());
    std::size_t from = 0;
    for (const auto& cell : cells) {
        while (merged.size() < cell.index && from < m_elements.size())
            merged.push_back(std::move(m_elements[from++]));
        merged.push_back(cell.element);
    }
    while (from < m_elements.size())
        merged.push_back(std::move(m_elements[from++]));
    m_elements = std::move(merged);
    rebuildFirstIndex();
}

} // namespace pexlora
