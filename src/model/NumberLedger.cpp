// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/NumberLedger.h"

namespace pexlora {

void NumberLedger::rebuild(const GridElements& elements) {
    m_counts.clear();
    m_firstFree = 1;
    m_counts.reserve(elements.size());
    for (const GridElement& element : elements)
        add(element.numberString);
}

void NumberLedger::add(const QString& numberString) {
    const auto value = integerValue(numberString);
    if (!value || *value <= 0)
        return;
    ++m_counts[*value];
    while (m_counts.contains(m_firstFree))
        ++m_firstFree;
}

void NumberLedger::remove(const QString& numberString) {
    const auto value = integerValue(numberString);
    if (!value || *value <= 0)
        return;
    const auto it = m_counts.find(*value);
    if (it == m_counts.end())
        return;
    if (--it->second == 0) {
        m_counts.erase(it);
        if (*value < m_firstFree)
            m_firstFree = *value;
    }
}

} // namespace pexlora
