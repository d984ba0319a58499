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
// stream is split. Memory stays bounded whatever arrives: a packet longer than
// `maxPacketSize` is skipped whole (in SLIP up to the next END, with a length prefix
// by counting its bytes off) and reading goes on after it.
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

private:
    void feedLengthPrefixed(std::span<const std::uint8_t> bytes,
                            const std::function<void(std::span<const std::uint8_t>)>& packet);

    EosFraming m_framing;
    SLIPDecoder m_slip{maxPacketSize};
    std::uint8_t m_header[4] = {};
    std::size_t m_headerSize = 0;
    std::size_t m_remaining = 0; // bytes of the current packet still to come
    bool m_skipping = false;     // the current packet is too long and is being counted off
    std::vector<std::uint8_t> m_packet;
    std::size_t m_dropped = 0;
};

} // namespace pexlora
