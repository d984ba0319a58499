// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCDecodeError.h"
#include "osc/OSCPacket.h"
#include "osc/OSCTextPolicy.h"
#include "util/Result.h"

#include <cstdint>
#include <optional>
#include <span>

namespace pexlora {

// `bundle` when the bytes start with "#bundle" and a zero byte, `message` when they
// start with "/", nothing otherwise.
std::optional<OSCPacketType> oscPacketType(std::span<const std::uint8_t> bytes);

// Received bytes to a packet. Bytes that are neither a bundle nor a message are not an
// error: they give no packet. A packet is validated completely before anything of it is
// returned, and each decoded message or bundle keeps its bytes in `_rawData`. Text is
// read by `text`: strict by default, as the codec's own encoder writes it.
Result<std::optional<OSCPacket>, OSCDecodeError>
decodeOSCPacket(std::span<const std::uint8_t> bytes, OSCTextPolicy text = OSCTextPolicy::strictASCII);
Result<OSCMessage, OSCDecodeError> decodeOSCMessage(std::span<const std::uint8_t> bytes,
                                                    OSCTextPolicy text = OSCTextPolicy::strictASCII);
// Nested bundles deeper than oscMaxNestingDepth are refused as malformed.
Result<OSCBundle, OSCDecodeError> decodeOSCBundle(std::span<const std::uint8_t> bytes,
                                                  OSCTextPolicy text = OSCTextPolicy::strictASCII);

} // namespace pexlora
