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

void CellLevels::set(const QUuid& id, qint8 percent, bool unpatched, QSet<QUuid>& changed) {
    const auto found = m_shown.find(id);
    if (found == m_shown.end()) {
        if (percent < 0 && !unpatched)
            return;
        m_shown.insert(id, {percent, unpatched});
    } else if (found->percent == percent && found->unpatched == unpatched) {
        return;
    } else if (percent < 0 && !unpatched) {
        m_shown.erase(found);
    } else {
        *found = {percent, unpatched};
    }
    changed.insert(id);
}

QSet<QUuid> CellLevels::update(const QHash<QUuid, float>& levels, const QSet<QUuid>& gone) {
    QSet<QUuid> changed;
    for (const QUuid& id : gone)
        set(id, -1, shown(id).unpatched, changed);
    for (auto it = levels.cbegin(); it != levels.cend(); ++it) {
        const std::optional<int> percent = levelPercent(it.value());
        set(it.key(), percent ? static_cast<qint8>(*percent) : qint8(-1), shown(it.key()).unpatched, changed);
    }
    return changed;
}

QSet<QUuid> CellLevels::clear() {
    QSet<QUuid> changed;
    QList<QUuid> lit;
    for (auto it = m_shown.cbegin(); it != m_shown.cend(); ++it)
        if (it->percent >= 0)
            lit.append(it.key());
    for (const QUuid& id : std::as_const(lit))
        set(id, -1, shown(id).unpatched, changed);
    return changed;
}

QSet<QUuid> CellLevels::setUnpatched(const QSet<QUuid>& ids) {
    QSet<QUuid> changed;
    QList<QUuid> patched;
    for (auto it = m_shown.cbegin(); it != m_shown.cend(); ++it)
        if (it->unpatched && !ids.contains(it.key()))
            patched.append(it.key());
    for (const QUuid& id : std::as_const(patched))
        set(id, shown(id).percent, false, changed);
    for (const QUuid& id : ids)
        set(id, shown(id).percent, true, changed);
    return changed;
}

} // namespace pexlora
