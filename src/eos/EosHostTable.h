// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosDiscoveredHost.h"

#include <QHash>
#include <QString>
#include <chrono>
#include <cstddef>

class QCollator;

namespace pexlora {

// Every console heard and not yet pruned, by id, with the time it last replied.
// The table holds at most `capacity` hosts: a new host beyond that replaces the one
// heard longest ago, so a flood of spoofed replies cannot grow it without bound.
class EosHostTable {
public:
    static constexpr std::size_t defaultCapacity = 256;

    explicit EosHostTable(std::size_t capacity = defaultCapacity);

    // Stores the host under its id, replacing an earlier record, and notes `now` as
    // the time it was last heard. True when the stored hosts changed.
    bool upsert(const EosDiscoveredHost& host, std::chrono::milliseconds now);

    // Removes every host last heard more than `staleTimeout` before `now`; true when
    // at least one was removed.
    bool pruneStale(std::chrono::milliseconds now, std::chrono::milliseconds staleTimeout);

    // All hosts, by name as `collator` orders them (ties by id, so the order is stable).
    EosDiscoveredHosts sortedHosts(const QCollator& collator) const;

    std::size_t size() const { return static_cast<std::size_t>(m_entries.size()); }

private:
    struct Entry {
        EosDiscoveredHost host;
        std::chrono::milliseconds lastSeen;
    };

    QHash<QString, Entry> m_entries;
    std::size_t m_capacity;
};

// Sorts by name under `collator`, then by id.
void sortHostsByName(EosDiscoveredHosts& hosts, const QCollator& collator);

} // namespace pexlora
