// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosFraming.h"
#include "osc/SLIPDecoder.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace pexlora {

// Cuts the byte stream from the console into packets in one framing, however the
// stream is split. Memory stays bounded whatever arrives. In SLIP a packet longer than
// `maxPacketSize` is skipped up to the next END and reading goes on after it. A length
// prefix over `maxPacketSize` means the stream is not in this framing (or has lost its
// place in it): nothing after it could be trusted, so the reader is broken from then on.
class EosStreamReader {
public:
    static constexpr std::size_t maxPacketSize = 64 * 1024;

    explicit EosStreamReader(EosFraming framing);

    // Calls `packet` with each packet that `bytes` completes, in order. The span is
    // valid during the call only.
    void feed(std::span<const std::uint8_t> bytes,
              const std::function<void(std::span<const std::uint8_t>)>& packet);

    // Packets skipped for their size so far.
    std::size_t droppedPackets() const;
    // The stream did not frame; everything fed since has been ignored.
    bool broken() const { return m_broken; }

private:
    void feedLengthPrefixed(std::span<const std::uint8_t> bytes,
                            const std::function<void(std::span<const std::uint8_t>)>& packet);

    EosFraming m_framing;
    SLIPDecoder m_slip{maxPacketSize};
    std::uint8_t m_header[4] = {};
    std::size_t m_headerSize = 0;
    std::size_t m_remaining = 0; // bytes of the current packet still to come
    bool m_broken = false;
    std::vector<std::uint8_t> m_packet;
};

} // namespace pexlora
