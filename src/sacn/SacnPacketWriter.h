// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sacn/SacnPacket.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace pexlora {

// The largest E1.31 data packet: the three layers' headers and 512 slots.
constexpr std::size_t maxSacnPacketSize = 126 + SacnDataPacket::maxSlots;

// Writes `packet` as an E1.31 data packet into `buffer`, as a source sends it 44 times
// a second: nothing is allocated. The source name is cut to 63 bytes, the slots to
// 512. Its length, or 0 when the buffer cannot hold it.
std::size_t writeSacnPacket(const SacnDataPacket& packet, std::span<std::uint8_t> buffer);

} // namespace pexlora
