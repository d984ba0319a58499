// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCMessage.h"
#include "osc/OSCTimeTag.h"

#include <array>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace pexlora {

struct OSCPacket;

// Packets to be acted on together at `timeTag`. Bundles nest.
struct OSCBundle {
    OSCTimeTag timeTag;
    std::vector<OSCPacket> elements;
    // As for OSCMessage: the exact bytes a decoded bundle came from.
    std::optional<OSCRawBytes> _rawData;

    OSCBundle() noexcept; // not defaulted, for the reason OSCMessage() is not
    OSCBundle(std::optional<OSCTimeTag> tag, std::vector<OSCPacket> bundleElements);

    friend bool operator==(const OSCBundle& a, const OSCBundle& b);
};

// One bundle or one message.
struct OSCPacket : std::variant<OSCBundle, OSCMessage> {
    using std::variant<OSCBundle, OSCMessage>::variant;

    const OSCBundle* bundle() const { return std::get_if<OSCBundle>(this); }
    const OSCMessage* message() const { return std::get_if<OSCMessage>(this); }
};

enum class OSCPacketType { message, bundle };

// The first eight bytes of every bundle: "#bundle" and its one zero byte of padding.
inline constexpr std::array<std::uint8_t, 8> oscBundleHeader = {'#', 'b', 'u', 'n', 'd', 'l', 'e', 0};

// Defined once OSCPacket is complete, as its elements' type must be.
inline OSCBundle::OSCBundle() noexcept {}

inline OSCBundle::OSCBundle(std::optional<OSCTimeTag> tag, std::vector<OSCPacket> bundleElements)
    : timeTag(tag.value_or(OSCTimeTag::immediate()))
    , elements(std::move(bundleElements)) {}

inline bool operator==(const OSCBundle& a, const OSCBundle& b) {
    return a.timeTag == b.timeTag && a.elements == b.elements && a._rawData == b._rawData;
}

} // namespace pexlora
