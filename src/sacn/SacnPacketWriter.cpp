// SPDX-License-Identifier: GPL-3.0-or-later
#include "sacn/SacnPacketWriter.h"

#include "sacn/SacnLayout.h"

#include <algorithm>

namespace pexlora {

namespace {

using namespace sacnlayout;

void put16(std::span<std::uint8_t> bytes, std::size_t at, std::size_t value) {
    bytes[at] = static_cast<std::uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(value);
}

void put32(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
    put16(bytes, at, value >> 16);
    put16(bytes, at + 2, value & 0xFFFF);
}

// Each layer's length runs from its start to the packet's end.
void putLayer(std::span<std::uint8_t> bytes, std::size_t at) {
    put16(bytes, at, layerFlags | (bytes.size() - at));
}

} // namespace

std::size_t writeSacnPacket(const SacnDataPacket& packet, std::span<std::uint8_t> buffer) {
    const std::size_t slots = std::min(packet.slotCount, SacnDataPacket::maxSlots);
    const std::size_t size = slotsAt + slots;
    if (buffer.size() < size)
        return 0;
    const std::span<std::uint8_t> bytes = buffer.first(size);
    std::fill(bytes.begin(), bytes.begin() + slotsAt, std::uint8_t{0});

    std::copy(std::begin(preamble), std::end(preamble), bytes.begin());
    putLayer(bytes, rootFlagsLength);
    put32(bytes, rootVector, vectorRootData);
    std::copy(packet.cid.begin(), packet.cid.end(), bytes.begin() + cidAt);

    putLayer(bytes, framingFlagsLength);
    put32(bytes, framingVector, vectorFramingData);
    // The name stays null-terminated however long it was given.
    const std::size_t nameSize = std::min(packet.sourceName.view().size(), sourceNameSize - 1);
    std::copy_n(packet.sourceName.view().begin(), nameSize, bytes.begin() + sourceNameAt);
    bytes[priorityAt] = packet.priority;
    bytes[sequenceAt] = packet.sequence;
    bytes[optionsAt] = static_cast<std::uint8_t>((packet.preview ? optionPreview : 0) |
                                                 (packet.terminated ? optionTerminated : 0));
    put16(bytes, universeAt, packet.universe);

    putLayer(bytes, dmpFlagsLength);
    bytes[dmpVector] = vectorDmpSetProperty;
    bytes[addressTypeAt] = addressTypeAndDataType;
    put16(bytes, firstAddressAt, 0);
    put16(bytes, incrementAt, 1);
    put16(bytes, valueCountAt, slots + 1); // the start code counts as a value
    bytes[startCodeAt] = packet.startCode;
    std::copy_n(packet.values.begin(), slots, bytes.begin() + slotsAt);
    return size;
}

} // namespace pexlora
