// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/SLIPEncoder.h"

namespace pexlora {

std::vector<std::uint8_t> encodeSLIPFrame(std::span<const std::uint8_t> packet) {
    std::vector<std::uint8_t> frame;
    frame.reserve(packet.size() + 2 + packet.size() / 8);
    frame.push_back(slip::end);
    for (const std::uint8_t byte : packet) {
        if (byte == slip::end) {
            frame.push_back(slip::escape);
            frame.push_back(slip::escapedEnd);
        } else if (byte == slip::escape) {
            frame.push_back(slip::escape);
            frame.push_back(slip::escapedEscape);
        } else {
            frame.push_back(byte);
        }
    }
    frame.push_back(slip::end);
    return frame;
}

} // namespace pexlora
