// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCPacket.h"

#include <vector>

namespace pexlora {

// The messages of a packet in the order they were written, bundles opened however
// deeply they nest. The pointers are valid as long as the packet is.
std::vector<const OSCMessage*> packetMessages(const OSCPacket& packet);
// The same messages moved out of the packet and appended to `messages`, for a reader
// that keeps them longer than the packet.
void takePacketMessages(OSCPacket&& packet, std::vector<OSCMessage>& messages);

} // namespace pexlora
