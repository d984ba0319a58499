// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridElement.h"

#include <cstdint>
#include <unordered_map>

namespace pexlora {

// Keeps count of the positive integers the elements' number texts stand for, so
// that the next free number is found without reading every text again. Placing a
// line of cells into a large layout would otherwise cost a full walk per cell.
class NumberLedger {
public:
    void rebuild(const GridElements& elements);
    void add(const QString& numberString);
    void remove(const QString& numberString);

    // Same result as nextFreeNumber() over the elements the ledger was fed.
    QString nextFree() const { return QString::number(m_firstFree); }

private:
    std::unordered_map<std::int64_t, int> m_counts;
    std::int64_t m_firstFree = 1;
};

} // namespace pexlora
