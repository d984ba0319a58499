// SPDX-License-Identifier: GPL-3.0-or-later
#include "sacn/SacnMerger.h"

#include <algorithm>

namespace pexlora {

bool SacnMerger::take(const SacnDataPacket& packet, std::chrono::milliseconds now) {
    // A preview is for visualisers, and other start codes are not levels.
    if (packet.preview || packet.startCode != 0)
        return false;
    auto universe = m_universes.find(packet.universe);
    if (universe == m_universes.end()) {
        if (packet.terminated || m_universes.size() >= maxUniverses)
            return false;
        universe = m_universes.emplace(packet.universe, Universe{}).first;
    }
    auto source = universe->second.find(packet.cid);
    if (source != universe->second.end() && !sacnSequenceFollows(source->second.sequence, packet.sequence))
        return false;
    if (packet.terminated) {
        if (source != universe->second.end())
            universe->second.erase(source);
        if (universe->second.empty())
            m_universes.erase(universe);
        return true;
    }
    if (source == universe->second.end()) {
        if (universe->second.size() >= maxSourcesPerUniverse)
            return false;
        source = universe->second.emplace(packet.cid, Source{}).first;
    }
    Source& kept = source->second;
    kept.priority = packet.priority;
    kept.sequence = packet.sequence;
    kept.heard = now;
    kept.slotCount = packet.slotCount;
    std::copy_n(packet.slots.begin(), packet.slotCount, kept.slots.begin());
    return true;
}

bool SacnMerger::expire(std::chrono::milliseconds now) {
    bool any = false;
    for (auto universe = m_universes.begin(); universe != m_universes.end();) {
        any |= std::erase_if(universe->second,
                             [now](const auto& source) { return now - source.second.heard >= sourceLoss; }) > 0;
        universe = universe->second.empty() ? m_universes.erase(universe) : std::next(universe);
    }
    return any;
}

std::optional<std::uint8_t> SacnMerger::level(std::uint16_t universe, std::size_t slot) const {
    const auto found = m_universes.find(universe);
    if (found == m_universes.end() || slot < 1 || slot > SacnDataPacket::maxSlots)
        return std::nullopt;
    std::optional<std::uint8_t> priority;
    std::optional<std::uint8_t> level;
    for (const auto& [cid, source] : found->second) {
        if (source.slotCount < slot)
            continue;
        const std::uint8_t value = source.slots[slot - 1];
        if (!priority || source.priority > *priority) {
            priority = source.priority;
            level = value;
        } else if (source.priority == *priority) {
            level = std::max(*level, value);
        }
    }
    return level;
}

} // namespace pexlora
