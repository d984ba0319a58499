// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pexlora {

// Cuts a SLIP byte stream into frames as the bytes arrive, however the stream is
// split. A frame needs no leading END (single-ended senders omit it); empty frames
// between two ENDs are skipped. A frame that grows beyond `maxFrameSize` is dropped
// whole, and decoding resumes after the next END. An ESC followed by anything but
// ESC_END or ESC_ESC yields that byte, as RFC 1055 suggests.
class SLIPDecoder {
public:
    static constexpr std::size_t defaultMaxFrameSize = 1024 * 1024;

    explicit SLIPDecoder(std::size_t maxFrameSize = defaultMaxFrameSize)
        : m_maxFrameSize(maxFrameSize) {}

    // The frames completed by `bytes`, in order.
    std::vector<std::vector<std::uint8_t>> feed(std::span<const std::uint8_t> bytes);

    // Bytes of the unfinished frame held so far.
    std::size_t pendingSize() const { return m_frame.size(); }
    // How many over-long frames have been dropped.
    std::size_t droppedFrames() const { return m_dropped; }

private:
    void push(std::uint8_t byte);

    std::size_t m_maxFrameSize;
    std::vector<std::uint8_t> m_frame;
    bool m_escaped = false;
    bool m_overflow = false;
    std::size_t m_dropped = 0;
};

} // namespace pexlora
