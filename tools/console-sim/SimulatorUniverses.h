// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SimulatorPatch.h"

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace pexlora::sim {

// The 512 slots of each universe that the patch's intensity addresses fall in.
using UniverseSlots = std::map<std::uint16_t, std::array<std::uint8_t, 512>>;

// What the desk puts on the wire for its channels' levels (channel → 0–100, absent
// is 0): each channel part's intensity at its address, 16-bit where the patch says so.
// Where two parts share a slot, the higher wins, as on a desk.
UniverseSlots universeSlots(const std::vector<PatchEntry>& patch, const std::map<int, int>& levels);

} // namespace pexlora::sim
