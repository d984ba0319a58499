// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ConsoleChannelSet.h"
#include "model/Decimal.h"
#include "model/GridElement.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace pexlora {

// The cells of a layout in the order of their numbers, read as exact decimals,
// so that the cells a console names are found range by range instead of by
// testing every cell against every range. Cells whose text is not a number are
// left out. Build it again when the cells change.
class CellNumberIndex {
public:
    CellNumberIndex() = default;
    explicit CellNumberIndex(const GridElements& elements);

    // Indexes into the element list of every cell whose number lies in one of
    // the ranges, ascending.
    std::vector<std::size_t> cellsIn(const ConsoleChannelSet& channels) const;

    std::size_t size() const { return m_cells.size(); }

private:
    std::vector<std::pair<Decimal, std::size_t>> m_cells; // by number, then by index
};

} // namespace pexlora
