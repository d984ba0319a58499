// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatorUniverses.h"

#include <algorithm>

namespace pexlora::sim {

namespace {

constexpr int slotsPerUniverse = 512;
constexpr int maxUniverse = 63999;

void raise(UniverseSlots& universes, int address, std::uint8_t value) {
    const int universe = (address - 1) / slotsPerUniverse + 1;
    if (address < 1 || universe > maxUniverse)
        return;
    auto& slot = universes[static_cast<std::uint16_t>(universe)]
                          [static_cast<std::size_t>((address - 1) % slotsPerUniverse)];
    slot = std::max(slot, value);
}

} // namespace

UniverseSlots universeSlots(const std::vector<PatchEntry>& patch, const std::map<int, int>& levels) {
    UniverseSlots universes;
    for (const PatchEntry& entry : patch) {
        const auto found = levels.find(entry.channel);
        const int percent = found == levels.end() ? 0 : std::clamp(found->second, 0, 100);
        // Rounded to the nearest step: 75 % is 191 in 8 bits, 49151 (191, 255) in 16.
        if (entry.fineIntensity) {
            const int word = (percent * 65535 + 50) / 100;
            raise(universes, entry.address, static_cast<std::uint8_t>(word >> 8));
            raise(universes, entry.address + 1, static_cast<std::uint8_t>(word & 0xFF));
        } else {
            raise(universes, entry.address, static_cast<std::uint8_t>((percent * 255 + 50) / 100));
        }
    }
    return universes;
}

} // namespace pexlora::sim
