// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/MarqueeOrdering.h"

#include <algorithm>
#include <cmath>

namespace pexlora {

namespace {

// Wide enough for any signed difference or sum of two 64-bit coordinates, which a
// stored file may hold at the extremes.
__extension__ using Wide = __int128;

bool axisOverlaps(double low, double extent, double cellLow, double side) {
    if (extent > 0)
        return low < cellLow + side && cellLow < low + extent;
    return cellLow <= low && low < cellLow + side;
}

struct SortItem {
    Wide major;
    Wide minor;
    std::size_t index; // keeps the order fully determined even for a list with repeated positions
    const GridElement* element;

    friend bool operator<(const SortItem& a, const SortItem& b) {
        if (a.major != b.major)
            return a.major < b.major;
        if (a.minor != b.minor)
            return a.minor < b.minor;
        return a.index < b.index;
    }
};

} // namespace

QRectF marqueeRect(QPointF start, QPointF end) {
    return {std::min(start.x(), end.x()), std::min(start.y(), end.y()), std::abs(end.x() - start.x()),
            std::abs(end.y() - start.y())};
}

bool isMarqueeTooSmall(const QRectF& marquee) {
    return marquee.width() <= minimumMarqueeExtent && marquee.height() <= minimumMarqueeExtent;
}

bool marqueeIntersectsCell(const QRectF& marquee, QPointF cellOrigin, double cellSize) {
    return axisOverlaps(marquee.x(), marquee.width(), cellOrigin.x(), cellSize) &&
           axisOverlaps(marquee.y(), marquee.height(), cellOrigin.y(), cellSize);
}

std::vector<ElementGroup> orderedGroups(MarqueeModifier modifier, const GridElements& elements, QPointF start,
                                        QPointF end, double cellSize, QSizeF pan) {
    const QRectF marquee = marqueeRect(start, end);
    if (isMarqueeTooSmall(marquee))
        return {};

    std::vector<const GridElement*> enclosed;
    for (const GridElement& element : elements) {
        const QPointF origin(static_cast<double>(element.position.col) * cellSize + pan.width(),
                             static_cast<double>(element.position.row) * cellSize + pan.height());
        if (marqueeIntersectsCell(marquee, origin, cellSize))
            enclosed.push_back(&element);
    }
    if (enclosed.empty())
        return {};

    // Sorting ascending on signed keys: a direction of -1 turns "descending" into "ascending".
    const int sx = start.x() <= end.x() ? 1 : -1;
    const int sy = start.y() <= end.y() ? 1 : -1;

    // The corner of the enclosed cells nearest to where the drag began.
    std::int64_t c0 = enclosed.front()->position.col;
    std::int64_t r0 = enclosed.front()->position.row;
    if (modifier == MarqueeModifier::control) {
        for (const GridElement* element : enclosed) {
            c0 = sx > 0 ? std::min(c0, element->position.col) : std::max(c0, element->position.col);
            r0 = sy > 0 ? std::min(r0, element->position.row) : std::max(r0, element->position.row);
        }
    }

    std::vector<SortItem> items;
    items.reserve(enclosed.size());
    for (std::size_t i = 0; i < enclosed.size(); ++i) {
        const GridPosition& p = enclosed[i]->position;
        const Wide col = Wide(p.col) * sx;
        const Wide row = Wide(p.row) * sy;
        switch (modifier) {
        case MarqueeModifier::none:
            items.push_back({row, col, i, enclosed[i]});
            break;
        case MarqueeModifier::shift:
            items.push_back({col, row, i, enclosed[i]});
            break;
        case MarqueeModifier::option:
            items.push_back({col, Wide(p.row), i, enclosed[i]});
            break;
        case MarqueeModifier::command:
            items.push_back({row, col, i, enclosed[i]});
            break;
        case MarqueeModifier::control:
            items.push_back({(Wide(p.col) - c0) * sx + (Wide(p.row) - r0) * sy, row, i, enclosed[i]});
            break;
        }
    }
    std::sort(items.begin(), items.end());

    const bool oneGroup = modifier == MarqueeModifier::none || modifier == MarqueeModifier::shift;
    std::vector<ElementGroup> groups;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (groups.empty() || (!oneGroup && items[i].major != items[i - 1].major))
            groups.emplace_back();
        groups.back().push_back(items[i].element);
    }
    return groups;
}

} // namespace pexlora
