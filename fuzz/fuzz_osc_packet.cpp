// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes must decode to a packet, to no packet, or to an error — never crash or
// read out of bounds. A decoded packet must re-send its own bytes, and its values,
// encoded afresh, must decode again to the same encoding.
#include "osc/OSCMessageEncoder.h"
#include "osc/OSCPacketDecoder.h"

#include <cstdlib>
#include <cstring>

namespace {

using namespace pexlora;

void forget(OSCPacket& packet) {
    if (auto* bundle = std::get_if<OSCBundle>(&packet)) {
        bundle->_rawData.reset();
        for (OSCPacket& element : bundle->elements)
            forget(element);
    } else {
        std::get<OSCMessage>(packet)._rawData.reset();
    }
}

void require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    auto decoded = decodeOSCPacket(bytes);
    // Text read as UTF-8 never costs a packet that the strict reading takes.
    require(decodeOSCPacket(bytes, OSCTextPolicy::lenientUTF8).ok() || !decoded.ok());
    if (!decoded.ok()) {
        require(!decoded.error().description().empty());
        return 0;
    }
    if (!decoded->has_value())
        return 0;
    OSCPacket packet = std::move(**decoded);
    if (const OSCMessage* message = packet.message())
        (void)message->description();

    auto resent = encodeOSC(packet);
    require(resent.ok() && std::equal(resent->begin(), resent->end(), bytes.begin(), bytes.end()));

    forget(packet);
    auto fresh = encodeOSC(packet);
    require(fresh.ok() && fresh->size() % 4 == 0);
    // Backslash escapes are read on decoding but never written on encoding, so texts
    // that came through one (it may even stand for a NUL) need not survive a second pass.
    if (std::memchr(data, '\\', size) || std::memchr(fresh->data(), '\\', fresh->size()))
        return 0;
    auto again = decodeOSCPacket(*fresh);
    require(again.ok() && again->has_value());
    OSCPacket second = std::move(**again);
    forget(second);
    auto settled = encodeOSC(second);
    require(settled.ok() && *settled == *fresh);
    return 0;
}
