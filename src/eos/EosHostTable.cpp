// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosHostTable.h"

#include <QCollator>
#include <algorithm>

namespace pexlora {

EosHostTable::EosHostTable(std::size_t capacity)
    : m_capacity(std::max<std::size_t>(capacity, 1)) {}

bool EosHostTable::upsert(const EosDiscoveredHost& host, std::chrono::milliseconds now) {
    const auto found = m_entries.find(host.id);
    if (found != m_entries.end()) {
        found->lastSeen = now;
        if (found->host == host)
            return false;
        found->host = host;
        return true;
    }
    if (size() >= m_capacity) {
        const auto oldest =
            std::min_element(m_entries.begin(), m_entries.end(),
                             [](const Entry& a, const Entry& b) { return a.lastSeen < b.lastSeen; });
        m_entries.erase(oldest);
    }
    m_entries.insert(host.id, Entry{host, now});
    return true;
}

bool EosHostTable::pruneStale(std::chrono::milliseconds now, std::chrono::milliseconds staleTimeout) {
    return m_entries.removeIf(
               [&](const auto& entry) { return now - entry.value().lastSeen > staleTimeout; }) > 0;
}

EosDiscoveredHosts EosHostTable::sortedHosts(const QCollator& collator) const {
    EosDiscoveredHosts hosts;
    hosts.reserve(size());
    for (const Entry& entry : m_entries)
        hosts.push_back(entry.host);
    sortHostsByName(hosts, collator);
    return hosts;
}

void sortHostsByName(EosDiscoveredHosts& hosts, const QCollator& collator) {
    std::sort(hosts.begin(), hosts.end(), [&](const EosDiscoveredHost& a, const EosDiscoveredHost& b) {
        const int order = collator.compare(a.name, b.name);
        return order != 0 ? order < 0 : a.id < b.id;
    });
}

} // namespace pexlora
