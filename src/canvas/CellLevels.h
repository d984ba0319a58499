// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QUuid>
#include <optional>

namespace pexlora {

// A level as the desk's displays show it: whole percent of full, 0 to 100; an
// 8-bit 191 is 75. Not a number shows nothing, as no data would.
std::optional<int> levelPercent(float level);
// "FL" at full, else the percent: "75", "0".
QString levelText(int percent);

// What the cells show of the desk beyond Pexlora's own state: the live level of
// each cell that has one, in percent as drawn, and the cells whose channel the
// desk has no patch for. Every change answers the cells whose drawing it changed,
// so that only those are repainted.
class CellLevels {
public:
    QSet<QUuid> update(const QHash<QUuid, float>& levels, const QSet<QUuid>& gone);
    QSet<QUuid> clear();
    QSet<QUuid> setUnpatched(const QSet<QUuid>& ids);

    std::optional<int> percent(const QUuid& id) const {
        const auto found = m_percents.constFind(id);
        return found == m_percents.cend() ? std::nullopt : std::optional<int>(*found);
    }
    bool isUnpatched(const QUuid& id) const { return m_unpatched.contains(id); }
    // Whether no cell shows anything of the desk: the painter then asks nothing per cell.
    bool isEmpty() const { return m_percents.isEmpty() && m_unpatched.isEmpty(); }
    bool hasUnpatched() const { return !m_unpatched.isEmpty(); }

private:
    QHash<QUuid, int> m_percents;
    QSet<QUuid> m_unpatched;
};

} // namespace pexlora
