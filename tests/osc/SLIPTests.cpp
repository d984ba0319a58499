// SPDX-License-Identifier: GPL-3.0-or-later
#include "OSCTestSupport.h"
#include "osc/SLIPDecoder.h"
#include "osc/SLIPEncoder.h"

namespace pexlora {
namespace {

TEST(SLIPFraming, EndAndEscapeBytesAreEscaped) {
    const Bytes frame = encodeSLIPFrame(Bytes{0x01, 0xC0, 0xDB, 0xDC, 0xDD});
    const Bytes expected = {
        0xC0,       // END
        0x01,       // plain byte
        0xDB, 0xDC, // 0xC0 escaped
        0xDB, 0xDD, // 0xDB escaped
        0xDC, 0xDD, // the escape codes alone are plain
        0xC0,       // END
    };
    EXPECT_EQ(frame, expected);
}

TEST(SLIPFraming, TwelveByteMessageBecomesFourteenBytes) {
    const Bytes message = encoded(OSCMessage("/abc", {}));
    ASSERT_EQ(message.size(), 12u);
    const Bytes frame = encodeSLIPFrame(message);
    ASSERT_EQ(frame.size(), 14u);
    EXPECT_EQ(frame.front(), 0xC0);
    EXPECT_EQ(frame.back(), 0xC0);
    EXPECT_EQ(Bytes(frame.begin() + 1, frame.end() - 1), message);
}

TEST(SLIPFraming, StreamDecodesTheSameFramesHoweverItIsSplit) {
    const Bytes a = encoded(OSCMessage("/eos/user/91/newcmd", {"Group 1 Enter"}));
    const Bytes b = encoded(OSCMessage("/x", {std::int32_t(0xC0DBC0DB), Blob{0xC0, 0xC0}}));
    const Bytes stream = concat({encodeSLIPFrame(a), encodeSLIPFrame(b), encodeSLIPFrame(a)});
    for (std::size_t chunk = 1; chunk <= stream.size(); ++chunk) {
        SLIPDecoder decoder;
        std::vector<Bytes> frames;
        for (std::size_t at = 0; at < stream.size(); at += chunk) {
            const auto piece = std::span(stream).subspan(at, std::min(chunk, stream.size() - at));
            for (auto& frame : decoder.feed(piece))
                frames.push_back(std::move(frame));
        }
        EXPECT_EQ(frames, (std::vector<Bytes>{a, b, a})) << "chunk size " << chunk;
        EXPECT_EQ(decoder.pendingSize(), 0u);
    }
}

TEST(SLIPFraming, DecoderToleratesAMissingLeadingEndAndSkipsEmptyFrames) {
    SLIPDecoder decoder;
    const auto frames = decoder.feed(Bytes{'a', 'b', 0xC0, 0xC0, 0xC0, 'c', 0xDB, 0x01, 0xC0, 'd'});
    EXPECT_EQ(frames, (std::vector<Bytes>{{'a', 'b'}, {'c', 0x01}}));
    EXPECT_EQ(decoder.pendingSize(), 1u);
}

TEST(SLIPFraming, OverlongFrameIsDroppedAndTheNextOneStillArrives) {
    SLIPDecoder decoder(8);
    EXPECT_TRUE(decoder.feed(Bytes(20, 'x')).empty());
    EXPECT_EQ(decoder.pendingSize(), 0u) << "nothing of an over-long frame is kept";
    const auto frames = decoder.feed(Bytes{0xC0, 'o', 'k', 0xC0});
    EXPECT_EQ(frames, (std::vector<Bytes>{{'o', 'k'}}));
    EXPECT_EQ(decoder.droppedFrames(), 1u);
    EXPECT_EQ(SLIPDecoder().feed(concat({Bytes(8, 'y'), Bytes{0xC0}})).size(), 1u);
    SLIPDecoder exact(8);
    EXPECT_EQ(exact.feed(concat({Bytes(8, 'y'), Bytes{0xC0}})).size(), 1u) << "exactly the cap is kept";
}

} // namespace
} // namespace pexlora
