#pragma once

#include "osc/OSCAddressPattern.h"
#include "osc/OSCValue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pexlora {

struct OSCMessage {
    OSCAddressPattern addressPattern;
    std::vector<OSCValue> values;
    // The exact bytes a decoded message came from; when present they are its encoding,
    // so a received message is passed on unchanged, padding and trailing bytes included.
    std::optional<std::vector<std::uint8_t>> _rawData;

    OSCMessage() = default;
    OSCMessage(OSCAddressPattern address, std::vector<OSCValue> messageValues = {})
        : addressPattern(std::move(address))
        , values(std::move(messageValues)) {}

    // OSCMessage("/address") or OSCMessage("/address", values: [1, "x"])
    std::string description() const;

    friend bool operator==(const OSCMessage&, const OSCMessage&) = default;
};

} // namespace pexlora
