// SPDX-License-Identifier: GPL-3.0-or-later
#include "sacn/SacnPacket.h"

#include "sacn/SacnLayout.h"

#include <algorithm>
#include <cstring>

namespace pexlora {

namespace {

using namespace sacnlayout;

std::uint16_t u16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

std::uint32_t u32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
           std::uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

// A layer's flags (0x7) and its length, which runs from the layer's start to the packet's end.
bool layerReaches(std::span<const std::uint8_t> bytes, std::size_t at) {
    const std::uint16_t flagsLength = u16(bytes, at);
    return (flagsLength & 0xF000) == layerFlags &&
           static_cast<std::size_t>(flagsLength & 0x0FFF) == bytes.size() - at;
}

} // namespace

SacnSourceName::SacnSourceName(std::string_view text)
    : m_size(std::min(text.size(), maxSize)) {
    std::copy_n(text.begin(), m_size, m_bytes.begin());
}

std::optional<SacnDataPacket> readSacnPacket(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < slotsAt || bytes.size() > slotsAt + SacnDataPacket::maxSlots)
        return std::nullopt;
    if (!std::equal(std::begin(preamble), std::end(preamble), bytes.begin()))
        return std::nullopt;
    if (!layerReaches(bytes, rootFlagsLength) || u32(bytes, rootVector) != vectorRootData ||
        !layerReaches(bytes, framingFlagsLength) || u32(bytes, framingVector) != vectorFramingData ||
        !layerReaches(bytes, dmpFlagsLength) || bytes[dmpVector] != vectorDmpSetProperty ||
        bytes[addressTypeAt] != addressTypeAndDataType || u16(bytes, firstAddressAt) != 0 ||
        u16(bytes, incrementAt) != 1)
        return std::nullopt;
    // The start code counts as a value.
    if (std::size_t{u16(bytes, valueCountAt)} != bytes.size() - startCodeAt)
        return std::nullopt;

    SacnDataPacket packet;
    packet.priority = bytes[priorityAt];
    packet.universe = u16(bytes, universeAt);
    if (packet.priority > SacnDataPacket::maxPriority || packet.universe == 0 ||
        packet.universe > SacnDataPacket::maxUniverse)
        return std::nullopt;
    std::copy_n(bytes.begin() + cidAt, packet.cid.size(), packet.cid.begin());
    const auto name = bytes.subspan(sourceNameAt, sourceNameSize - 1);
    const auto end = std::find(name.begin(), name.end(), std::uint8_t{0});
    packet.sourceName = SacnSourceName(
        std::string_view(reinterpret_cast<const char*>(name.data()), static_cast<std::size_t>(end - name.begin())));
    packet.sequence = bytes[sequenceAt];
    packet.preview = (bytes[optionsAt] & optionPreview) != 0;
    packet.terminated = (bytes[optionsAt] & optionTerminated) != 0;
    packet.startCode = bytes[startCodeAt];
    packet.slotCount = bytes.size() - slotsAt;
    std::copy_n(bytes.begin() + slotsAt, packet.slotCount, packet.values.begin());
    return packet;
}

bool sacnSequenceFollows(std::uint8_t last, std::uint8_t sequence) {
    const int behind = static_cast<std::int8_t>(static_cast<std::uint8_t>(sequence - last));
    return !(behind <= 0 && behind > -20);
}

} // namespace pexlora
