// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/CellLevels.h"

#include <algorithm>
#include <cmath>

namespace pexlora {

std::optional<int> levelPercent(float level) {
    if (std::isnan(level))
        return std::nullopt;
    return static_cast<int>(std::lround(std::clamp(static_cast<double>(level), 0.0, 1.0) * 100.0));
}

QString levelText(int percent) {
    return percent >= 100 ? QStringLiteral("FL") : QString::number(std::max(percent, 0));
}

QSet<QUuid> CellLevels::update(const QHash<QUuid, float>& levels, const QSet<QUuid>& gone) {
    QSet<QUuid> changed;
    for (const QUuid& id : gone)
        if (m_percents.remove(id))
            changed.insert(id);
    for (auto it = levels.cbegin(); it != levels.cend(); ++it) {
        const std::optional<int> percent = levelPercent(it.value());
        if (!percent) {
            if (m_percents.remove(it.key()))
                changed.insert(it.key());
            continue;
        }
        const auto place = m_percents.find(it.key());
        if (place == m_percents.end())
            m_percents.insert(it.key(), *percent);
        else if (*place != *percent)
            *place = *percent;
        else
            continue;
        changed.insert(it.key());
    }
    return changed;
}

QSet<QUuid> CellLevels::clear() {
    QSet<QUuid> changed;
    changed.reserve(m_percents.size());
    for (auto it = m_percents.cbegin(); it != m_percents.cend(); ++it)
        changed.insert(it.key());
    m_percents.clear();
    return changed;
}

QSet<QUuid> CellLevels::setUnpatched(const QSet<QUuid>& ids) {
    // Whatever is in one set and not in the other: the marks that come and go.
    QSet<QUuid> changed = ids;
    for (const QUuid& id : std::as_const(m_unpatched))
        if (!changed.remove(id))
            changed.insert(id);
    m_unpatched = ids;
    return changed;
}

} // namespace pexlora
