// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes must read as a packet or as none, never crash or read out of bounds.
#include "sacn/SacnPacket.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto packet = pexlora::readSacnPacket(std::span<const std::uint8_t>(data, size));
    if (packet && packet->levels().size() > pexlora::SacnDataPacket::maxSlots)
        __builtin_trap();
    return 0;
}
