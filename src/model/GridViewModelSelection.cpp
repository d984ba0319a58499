// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/GridViewModel.h"
#include "model/MarqueeOrdering.h"

namespace pexlora {

void GridViewModel::finishMarquee() {
    if (!m_marqueeStart || !m_marqueeEnd)
        return;
    const auto groups =
        orderedGroups(m_marqueeModifier, elements(), *m_marqueeStart, *m_marqueeEnd, cellSize(), m_panOffset);
    SelectionGroups ids;
    ids.reserve(groups.size());
    for (const ElementGroup& group : groups) {
        auto& idGroup = ids.emplace_back();
        idGroup.reserve(group.size());
        for (const GridElement* member : group)
            idGroup.push_back(member->id);
    }
    setSelectionGroups(ids);
    setSelectionModifier(m_marqueeModifier);
    setMarqueeStart(std::nullopt);
    setMarqueeEnd(std::nullopt);
}

void GridViewModel::selectSingle(const QUuid& id) {
    setSelectionGroups({{id}});
    setSelectionModifier(MarqueeModifier::none);
}

std::vector<QUuid> GridViewModel::flatSelection() const {
    std::vector<QUuid> flat;
    for (const auto& group : m_selectionGroups)
        flat.insert(flat.end(), group.begin(), group.end());
    return flat;
}

void GridViewModel::toggleEditSelection(const QUuid& id) {
    if (!m_editSelectedIDs.remove(id))
        m_editSelectedIDs.insert(id);
    emit editSelectedIDsChanged();
}

void GridViewModel::selectInEditMarquee(QPointF start, QPointF end) {
    const QRectF marquee = marqueeRect(start, end);
    if (isMarqueeTooSmall(marquee))
        return;
    const double size = cellSize();
    bool inserted = false;
    for (const GridElement& element : elements()) {
        if (marqueeIntersectsCell(marquee, cellRect(element.position).topLeft(), size)) {
            m_editSelectedIDs.insert(element.id);
            inserted = true;
        }
    }
    if (inserted)
        emit editSelectedIDsChanged();
}

} // namespace pexlora
