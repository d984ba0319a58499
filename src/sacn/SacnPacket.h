// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace pexlora {

// A source's name as sent: UTF-8, at most 63 bytes. Kept in place rather than in a
// string, so that reading a flood of packets allocates nothing.
class SacnSourceName {
public:
    static constexpr std::size_t maxSize = 63;

    SacnSourceName() = default;
    // Cut to maxSize bytes.
    SacnSourceName(std::string_view text);
    SacnSourceName(const char* text)
        : SacnSourceName(std::string_view(text)) {}

    std::string_view view() const { return {m_bytes.data(), m_size}; }
    friend bool operator==(const SacnSourceName& a, const SacnSourceName& b) { return a.view() == b.view(); }

private:
    std::array<char, maxSize> m_bytes{};
    std::size_t m_size = 0;
};

// One E1.31 (streaming ACN) data packet, as a desk sends its live output: 512 slots
// of one universe at most, from one source. Anything on the port is untrusted; only
// a packet whose every layer reads as the standard lays it out is taken.
struct SacnDataPacket {
    static constexpr std::size_t maxSlots = 512;
    static constexpr std::uint16_t maxUniverse = 63999;
    static constexpr std::uint8_t maxPriority = 200;

    std::array<std::uint8_t, 16> cid{}; // the source's component identifier
    SacnSourceName sourceName;          // cut at its terminator
    std::uint8_t priority = 100;
    std::uint8_t sequence = 0;
    bool preview = false;    // for visualisers only, not the stage
    bool terminated = false; // the source stops sending this universe
    std::uint16_t universe = 1;
    std::uint8_t startCode = 0;                  // 0: levels; anything else is not levels
    std::array<std::uint8_t, maxSlots> values{}; // slot 1 first; not `slots`, a macro of Qt
    std::size_t slotCount = 0;

    std::span<const std::uint8_t> levels() const { return {values.data(), slotCount}; }
};

// Nothing for bytes that are not a well-formed E1.31 data packet: a wrong identifier
// or vector, lengths that disagree with the bytes, a universe or priority out of
// range, or more than 512 slots.
std::optional<SacnDataPacket> readSacnPacket(std::span<const std::uint8_t> bytes);

// Whether a packet with `sequence` follows one with `last` from the same source and
// universe, or is an old one overtaken on the way (E1.31: behind by 1 to 20).
bool sacnSequenceFollows(std::uint8_t last, std::uint8_t sequence);

} // namespace pexlora
