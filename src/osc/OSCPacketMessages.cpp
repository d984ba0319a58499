// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/OSCPacketMessages.h"

namespace pexlora {

namespace {

// Calls `take` with each message in order; the one walk both forms share.
template <typename Packet, typename Take> void forEachMessage(Packet& packet, const Take& take) {
    if (auto* message = std::get_if<OSCMessage>(&packet)) {
        take(*message);
        return;
    }
    for (auto& element : std::get<OSCBundle>(packet).elements)
        forEachMessage(element, take);
}

} // namespace

std::vector<const OSCMessage*> packetMessages(const OSCPacket& packet) {
    std::vector<const OSCMessage*> messages;
    forEachMessage(packet, [&messages](const OSCMessage& message) { messages.push_back(&message); });
    return messages;
}

void takePacketMessages(OSCPacket&& packet, std::vector<OSCMessage>& messages) {
    forEachMessage(packet, [&messages](OSCMessage& message) { messages.push_back(std::move(message)); });
}

} // namespace pexlora
