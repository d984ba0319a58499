// SPDX-License-Identifier: GPL-3.0-or-later
#include "sacn/SacnMerger.h"

#include <algorithm>
#include <vector>

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
    kept.name = packet.sourceName;
    std::copy_n(packet.values.begin(), packet.slotCount, kept.values.begin());
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

void SacnMerger::forget(std::uint16_t universe) {
    m_universes.erase(universe);
}

SacnMerger::Levels SacnMerger::levels(std::uint16_t universe) const {
    Levels merged;
    const auto found = m_universes.find(universe);
    if (found == m_universes.end())
        return merged;
    // Each slot goes to the highest priority among the sources that send it, then to the highest level.
    std::array<std::uint8_t, SacnDataPacket::maxSlots> priorities{};
    for (const auto& [cid, source] : found->second) {
        const std::size_t shared = std::min(merged.count, source.slotCount);
        for (std::size_t slot = 0; slot < shared; ++slot) {
            const std::uint8_t value = source.values[slot];
            if (source.priority > priorities[slot]) {
                priorities[slot] = source.priority;
                merged.values[slot] = value;
            } else if (source.priority == priorities[slot]) {
                merged.values[slot] = std::max(merged.values[slot], value);
            }
        }
        for (std::size_t slot = shared; slot < source.slotCount; ++slot) {
            priorities[slot] = source.priority;
            merged.values[slot] = source.values[slot];
        }
        merged.count = std::max(merged.count, source.slotCount);
    }
    return merged;
}

std::optional<std::uint8_t> SacnMerger::level(std::uint16_t universe, std::size_t slot) const {
    if (slot < 1 || slot > SacnDataPacket::maxSlots)
        return std::nullopt;
    const Levels merged = levels(universe);
    if (slot > merged.count)
        return std::nullopt;
    return merged.values[slot - 1];
}

std::optional<std::string> SacnMerger::winnerName(std::uint16_t universe) const {
    const auto found = m_universes.find(universe);
    if (found == m_universes.end())
        return std::nullopt;
    const Source* winner = nullptr;
    for (const auto& [cid, source] : found->second)
        if (!winner || source.priority > winner->priority)
            winner = &source;
    if (!winner)
        return std::nullopt;
    return std::string(winner->name.view());
}

std::size_t SacnMerger::sourceCount() const {
    std::vector<Cid> cids;
    for (const auto& [number, universe] : m_universes)
        for (const auto& [cid, source] : universe)
            cids.push_back(cid);
    std::sort(cids.begin(), cids.end());
    return static_cast<std::size_t>(std::unique(cids.begin(), cids.end()) - cids.begin());
}

std::optional<std::uint16_t> SacnMerger::lowestUniverse() const {
    if (m_universes.empty())
        return std::nullopt;
    return m_universes.begin()->first;
}

} // namespace pexlora
