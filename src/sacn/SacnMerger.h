// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sacn/SacnPacket.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace pexlora {

// The levels on the wire, universe by universe, as E1.31 receivers merge them: the
// sources of the highest priority win, and among those the highest level of each
// slot; a source not heard for 2.5 s, or one that says it stops, is gone. Time is
// passed in, so that whoever drives it decides what clock it is.
class SacnMerger {
public:
    static constexpr std::chrono::milliseconds sourceLoss{2500};
    // Far more than a rig's desks and backups; a flood of invented sources is cut here.
    static constexpr std::size_t maxSourcesPerUniverse = 8;
    static constexpr std::size_t maxUniverses = 256;

    // Takes a packet heard at `now`. False when it is not taken: a preview, not levels,
    // behind the source's last sequence, or a source or universe past the bounds.
    bool take(const SacnDataPacket& packet, std::chrono::milliseconds now);
    // Forgets the sources not heard since `now - sourceLoss`; whether any went.
    bool expire(std::chrono::milliseconds now);
    // Forgets everything heard on `universe`, as when nobody wants it any more.
    void forget(std::uint16_t universe);

    // The merged levels of one universe: slots 1 to `count` are sent by some source;
    // the slots past `count` are zero, so that equal levels compare equal.
    struct Levels {
        std::array<std::uint8_t, SacnDataPacket::maxSlots> values{};
        std::size_t count = 0;
        friend bool operator==(const Levels&, const Levels&) = default;
    };
    Levels levels(std::uint16_t universe) const;
    // The level of `slot` (1–512) of `universe`; none while no source sends that slot.
    std::optional<std::uint8_t> level(std::uint16_t universe, std::size_t slot) const;

    // The name of the source whose levels win on `universe`: the highest priority, and
    // among equals the first by component identifier, so that the name does not flicker.
    std::optional<std::string> winnerName(std::uint16_t universe) const;
    // The sources heard on any universe, each counted once.
    std::size_t sourceCount() const;
    // The universes some source sends.
    std::size_t universeCount() const { return m_universes.size(); }
    // The lowest universe some source sends.
    std::optional<std::uint16_t> lowestUniverse() const;

private:
    struct Source {
        std::uint8_t priority = 0;
        std::uint8_t sequence = 0;
        std::chrono::milliseconds heard{0};
        std::array<std::uint8_t, SacnDataPacket::maxSlots> values{};
        std::size_t slotCount = 0;
        SacnSourceName name;
    };
    using Cid = std::array<std::uint8_t, 16>;
    using Universe = std::map<Cid, Source>;

    std::map<std::uint16_t, Universe> m_universes;
};

} // namespace pexlora
