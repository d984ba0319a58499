// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/CellNumberIndex.h"

#include <algorithm>

namespace pexlora {

CellNumberIndex::CellNumberIndex(const GridElements& elements) {
    m_cells.reserve(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (auto number = readDecimal(elements[i].numberString))
            m_cells.emplace_back(std::move(*number), i);
    }
    std::sort(m_cells.begin(), m_cells.end(), [](const auto& a, const auto& b) {
        return a.first < b.first || (!(b.first < a.first) && a.second < b.second);
    });
}

std::vector<std::size_t> CellNumberIndex::cellsIn(const ConsoleChannelSet& channels) const {
    std::vector<std::size_t> found;
    auto from = m_cells.begin();
    // The ranges ascend and do not overlap, so each search starts where the last one ended.
    for (const ConsoleChannelSet::Range& range : channels.ranges()) {
        from = std::lower_bound(from, m_cells.end(), range.first,
                                [](const auto& cell, const Decimal& n) { return cell.first < n; });
        for (; from != m_cells.end() && !(range.last < from->first); ++from)
            found.push_back(from->second);
        if (from == m_cells.end())
            break;
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace pexlora
