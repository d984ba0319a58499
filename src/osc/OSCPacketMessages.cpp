#include "osc/OSCPacketMessages.h"

namespace pexlora {

namespace {

void collect(const OSCPacket& packet, std::vector<const OSCMessage*>& messages) {
    if (const OSCMessage* message = packet.message()) {
        messages.push_back(message);
        return;
    }
    for (const OSCPacket& element : packet.bundle()->elements)
        collect(element, messages);
}

} // namespace

std::vector<const OSCMessage*> packetMessages(const OSCPacket& packet) {
    std::vector<const OSCMessage*> messages;
    collect(packet, messages);
    return messages;
}

} // namespace pexlora
