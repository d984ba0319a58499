// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCAddressPattern.h"
#include "osc/OSCValue.h"
#include "osc/SmallVector.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

namespace pexlora {

// The bytes of a received message or bundle; most fit inline.
using OSCRawBytes = SmallVector<std::uint8_t, 128>;

struct OSCMessage {
    OSCAddressPattern addressPattern;
    OSCValues values;
    // The exact bytes a decoded message came from; when present they are its encoding,
    // so a received message is passed on unchanged, padding and trailing bytes included.
    std::optional<OSCRawBytes> _rawData;

    // Not defaulted: value-initialising a defaulted one would first zero the inline
    // storage of the members, which is most of the time of decoding a short message.
    OSCMessage() noexcept {}
    OSCMessage(OSCAddressPattern address, OSCValues messageValues = {})
        : addressPattern(std::move(address))
        , values(std::move(messageValues)) {}
    // Builds the values in place rather than moving them in from a temporary.
    OSCMessage(OSCAddressPattern address, std::initializer_list<OSCValue> messageValues)
        : addressPattern(std::move(address))
        , values(messageValues) {}
    // And the address too, for the usual literal one.
    OSCMessage(const char* address, std::initializer_list<OSCValue> messageValues)
        : addressPattern(address)
        , values(messageValues) {}

    // OSCMessage("/address") or OSCMessage("/address", values: [1, "x"])
    std::string description() const;

    friend bool operator==(const OSCMessage&, const OSCMessage&) = default;
};

} // namespace pexlora
