// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/SLIPDecoder.h"

#include "osc/SLIPEncoder.h"

namespace pexlora {

void SLIPDecoder::push(std::uint8_t byte) {
    if (m_overflow)
        return;
    if (m_frame.size() >= m_maxFrameSize) {
        m_overflow = true;
        m_frame.clear();
        m_frame.shrink_to_fit();
        return;
    }
    m_frame.push_back(byte);
}

std::vector<std::vector<std::uint8_t>> SLIPDecoder::feed(std::span<const std::uint8_t> bytes) {
    std::vector<std::vector<std::uint8_t>> frames;
    for (const std::uint8_t byte : bytes) {
        if (byte == slip::end) {
            if (m_overflow)
                ++m_dropped;
            else if (!m_frame.empty())
                frames.push_back(std::move(m_frame));
            m_frame.clear();
            m_escaped = false;
            m_overflow = false;
        } else if (m_escaped) {
            m_escaped = false;
            push(byte == slip::escapedEnd ? slip::end : byte == slip::escapedEscape ? slip::escape : byte);
        } else if (byte == slip::escape) {
            m_escaped = true;
        } else {
            push(byte);
        }
    }
    return frames;
}

} // namespace pexlora
