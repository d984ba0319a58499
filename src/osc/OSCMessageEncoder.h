// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCEncodeError.h"
#include "osc/OSCPacket.h"
#include "util/Result.h"

#include <cstdint>
#include <vector>

namespace pexlora {

// Packets to bytes. A message or bundle that carries `_rawData` is written as those
// bytes; anything else is laid out afresh, with one to four zero bytes after the
// address and after the type-tag string. A failure yields no bytes at all.
Result<std::vector<std::uint8_t>, OSCEncodeError> encodeOSC(const OSCMessage& message);
Result<std::vector<std::uint8_t>, OSCEncodeError> encodeOSC(const OSCBundle& bundle);
Result<std::vector<std::uint8_t>, OSCEncodeError> encodeOSC(const OSCPacket& packet);

// Builds one message's bytes into an output buffer, which may already hold the
// earlier elements of a bundle.
class OSCMessageEncoder {
public:
    explicit OSCMessageEncoder(std::vector<std::uint8_t>& output)
        : m_output(output) {}

    // On failure the output is left as it was.
    Result<Unit, OSCEncodeError> append(const OSCMessage& message);
    Result<Unit, OSCEncodeError> append(const OSCBundle& bundle, int depth = 0);

private:
    std::vector<std::uint8_t>& m_output;
};

} // namespace pexlora
