// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCDecodeError.h"
#include "osc/OSCEncodeError.h"
#include "osc/OSCMessage.h"
#include "osc/OSCMessageEncoder.h"
#include "osc/OSCPacketDecoder.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string_view>
#include <vector>

namespace pexlora {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// The bytes of a message that must encode; a failure fails the test that asked.
inline Bytes encoded(const OSCMessage& message) {
    auto bytes = encodeOSC(message);
    EXPECT_TRUE(bytes.ok()) << (bytes.ok() ? "" : bytes.error().description());
    return bytes.ok() ? *bytes : Bytes{};
}

inline OSCDecodeError decodeFailure(const Bytes& bytes) {
    auto packet = decodeOSCPacket(bytes);
    EXPECT_FALSE(packet.ok()) << "decoded without an error";
    return packet.ok() ? OSCDecodeError{} : packet.error();
}

// Readable failure output for gtest.
inline void PrintTo(const OSCValue& value, std::ostream* out) {
    *out << description(value);
}
inline void PrintTo(const OSCMessage& message, std::ostream* out) {
    *out << message.description();
}
inline void PrintTo(const OSCDecodeError& error, std::ostream* out) {
    *out << error.description();
}
inline void PrintTo(const OSCEncodeError& error, std::ostream* out) {
    *out << error.description();
}

} // namespace pexlora
