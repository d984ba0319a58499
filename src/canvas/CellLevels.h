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
    // What one cell shows; a cell showing nothing has no entry.
    struct Shown {
        qint8 percent = -1; // -1: no level
        bool unpatched = false;
    };

    QSet<QUuid> update(const QHash<QUuid, float>& levels, const QSet<QUuid>& gone);
    QSet<QUuid> clear();
    QSet<QUuid> setUnpatched(const QSet<QUuid>& ids);

    // One lookup for all a cell shows: the painter asks for thousands of cells.
    Shown shown(const QUuid& id) const { return m_shown.value(id); }
    std::optional<int> percent(const QUuid& id) const {
        const qint8 p = shown(id).percent;
        return p < 0 ? std::nullopt : std::optional<int>(p);
    }
    bool isUnpatched(const QUuid& id) const { return shown(id).unpatched; }
    bool isEmpty() const { return m_shown.isEmpty(); }

private:
    // Sets what `id` shows, and adds it to `changed` when that differs.
    void set(const QUuid& id, qint8 percent, bool unpatched, QSet<QUuid>& changed);

    QHash<QUuid, Shown> m_shown;
};

} // namespace pexlora
