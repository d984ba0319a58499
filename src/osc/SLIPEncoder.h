// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pexlora {

// Double-ended SLIP (RFC 1055), the stream framing of OSC 1.1.
namespace slip {
constexpr std::uint8_t end = 0xC0;
constexpr std::uint8_t escape = 0xDB;
constexpr std::uint8_t escapedEnd = 0xDC;
constexpr std::uint8_t escapedEscape = 0xDD;
} // namespace slip

// One packet as one frame: END, the bytes with END and ESC escaped, END.
// n bytes become n + 2, plus one for every 0xC0 or 0xDB among them.
std::vector<std::uint8_t> encodeSLIPFrame(std::span<const std::uint8_t> packet);

} // namespace pexlora
