// SPDX-License-Identifier: GPL-3.0-or-later
// A SLIP stream must yield the same frames however it is split, never a frame over
// the cap, and every frame must survive being framed again. The first byte picks the
// split size, the second the frame cap, so both vary from run to run.
#include "osc/OSCPacketDecoder.h"
#include "osc/SLIPDecoder.h"
#include "osc/SLIPEncoder.h"

#include <cstdlib>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pexlora;
    if (size < 2)
        return 0;
    const std::size_t split = data[0] % 16 + 1;
    const std::size_t cap = data[1] == 0 ? SLIPDecoder::defaultMaxFrameSize : data[1];
    const std::span<const std::uint8_t> stream(data + 2, size - 2);

    SLIPDecoder whole(cap);
    const auto frames = whole.feed(stream);

    SLIPDecoder pieces(cap);
    std::vector<std::vector<std::uint8_t>> collected;
    for (std::size_t at = 0; at < stream.size(); at += split) {
        for (auto& frame : pieces.feed(stream.subspan(at, std::min(split, stream.size() - at))))
            collected.push_back(std::move(frame));
    }
    require(collected == frames);
    require(pieces.pendingSize() == whole.pendingSize());

    for (const auto& frame : frames) {
        require(!frame.empty() && frame.size() <= cap);
        SLIPDecoder again(cap);
        const auto reframed = again.feed(encodeSLIPFrame(frame));
        require(reframed.size() == 1 && reframed.front() == frame);
        (void)decodeOSCPacket(frame);
    }
    return 0;
}
