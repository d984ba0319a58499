// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosStreamReader.h"

#include <algorithm>

namespace pexlora {

EosStreamReader::EosStreamReader(EosFraming framing)
    : m_framing(framing) {}

std::size_t EosStreamReader::droppedPackets() const {
    return m_framing == EosFraming::slip ? m_slip.droppedFrames() : 0;
}

void EosStreamReader::feed(std::span<const std::uint8_t> bytes,
                           const std::function<void(std::span<const std::uint8_t>)>& packet) {
    if (m_framing == EosFraming::length) {
        feedLengthPrefixed(bytes, packet);
        return;
    }
    for (const auto& frame : m_slip.feed(bytes))
        packet(frame);
}

void EosStreamReader::feedLengthPrefixed(std::span<const std::uint8_t> bytes,
                                         const std::function<void(std::span<const std::uint8_t>)>& packet) {
    while (!bytes.empty() && !m_broken) {
        if (m_remaining == 0) {
            m_header[m_headerSize++] = bytes.front();
            bytes = bytes.subspan(1);
            if (m_headerSize < 4)
                continue;
            m_headerSize = 0;
            m_remaining = std::size_t{m_header[0]} << 24 | std::size_t{m_header[1]} << 16 |
                          std::size_t{m_header[2]} << 8 | std::size_t{m_header[3]};
            m_broken = m_remaining > maxPacketSize;
            m_packet.clear();
            continue;
        }
        const std::size_t take = std::min(m_remaining, bytes.size());
        m_packet.insert(m_packet.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
        bytes = bytes.subspan(take);
        m_remaining -= take;
        if (m_remaining > 0)
            continue;
        if (!m_packet.empty())
            packet(m_packet);
    }
}

} // namespace pexlora
