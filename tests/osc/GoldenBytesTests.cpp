// SPDX-License-Identifier: GPL-3.0-or-later
#include "OSCTestSupport.h"
#include "osc/OSCPacket.h"
#include "osc/OSCValueEncoder.h"

#include <cmath>
#include <limits>

namespace pexlora {
namespace {

// The console discovery request, as every Eos console expects it.
const Bytes discoveryRequest = {
    '/',  'e',  't',  'c',  // address "/etc/discovery/request" …
    '/',  'd',  'i',  's',  //
    'c',  'o',  'v',  'e',  //
    'r',  'y',  '/',  'r',  //
    'e',  'q',  'u',  'e',  //
    's',  't',  0x00, 0x00, // … 22 bytes, two zero bytes
    ',',  'i',  's',  0x00, // type tags ",is", one zero byte
    0x00, 0x00, 0x0b, 0xdb, // Int32 3035
    'P',  'e',  'x',  'l',  // String "Pexlora" …
    'o',  'r',  'a',  0x00, // … 7 bytes, one zero byte
};

TEST(OSCGoldenBytes, DiscoveryRequestEncodesToTheFortyKnownBytes) {
    EXPECT_EQ(encoded(OSCMessage("/etc/discovery/request", {3035, "Pexlora"})), discoveryRequest);
}

TEST(OSCGoldenBytes, DiscoveryRequestDecodesAndReencodesToTheSameBytes) {
    auto message = decodeOSCMessage(discoveryRequest);
    ASSERT_TRUE(message.ok()) << message.error().description();
    EXPECT_EQ(message->addressPattern.rawAddress(), "/etc/discovery/request");
    EXPECT_EQ(message->values, (OSCValues{3035, "Pexlora"}));
    EXPECT_EQ(encoded(*message), discoveryRequest);
}

TEST(OSCGoldenBytes, MessageWithoutValuesHasACommaOnlyTagString) {
    const Bytes expected = {
        '/', 'a',  'b',  0x00, // address "/ab", one zero byte
        ',', 0x00, 0x00, 0x00, // type tags ","
    };
    EXPECT_EQ(encoded(OSCMessage("/ab")), expected);
}

TEST(OSCGoldenBytes, AddressOfFourBytesGetsFourZeroBytes) {
    const Bytes expected = {
        '/',  'a',  'b',  'c',  // address "/abc" …
        0x00, 0x00, 0x00, 0x00, // … padded with four zero bytes
        ',',  0x00, 0x00, 0x00, // type tags ","
    };
    EXPECT_EQ(encoded(OSCMessage("/abc")), expected);
}

TEST(OSCGoldenBytes, EveryScalarKindWritesItsTagAndChunk) {
    const OSCMessage message("/k", {std::int32_t{-1}, 2.0f, "abcd", Blob{1, 2, 3}, true, false,
                                    Character{"A"}, 0.5, std::int64_t{-2}, OSCImpulseValue{},
                                    OSCMIDIValue{1, 0x90, 60, 127}, OSCNullValue{},
                                    OSCStringAltValue{"Pexlora"}, OSCTimeTag{5, 0x0102030405060708}});
    const Bytes expected = {
        '/', 'k', 0x00, 0x00,   // address "/k"
        ',', 'i', 'f', 's',     // type tags …
        'b', 'T', 'F', 'c',     //
        'd', 'h', 'I', 'm',     //
        'N', 'S', 't', 0x00,    // … 15 tags after the comma, one zero byte
        0xff, 0xff, 0xff, 0xff, // Int32 -1
        0x40, 0x00, 0x00, 0x00, // Float 2.0
        'a', 'b', 'c', 'd',     // String "abcd" …
        0x00, 0x00, 0x00, 0x00, // … four zero bytes
        0x00, 0x00, 0x00, 0x03, // blob length 3
        0x01, 0x02, 0x03, 0x00, // blob bytes, one zero byte
                                // true and false: tags only
        0x00, 0x00, 0x00, 0x41, // Character "A"
        0x3f, 0xe0, 0x00, 0x00, // Double 0.5 …
        0x00, 0x00, 0x00, 0x00, //
        0xff, 0xff, 0xff, 0xff, // Int64 -2 …
        0xff, 0xff, 0xff, 0xfe, //
                                // impulse: tag only
        0x01, 0x90, 0x3c, 0x7f, // MIDI port, status, data1, data2
                                // null: tag only
        'P', 'e', 'x', 'l',     // StringAlt "Pexlora" …
        'o', 'r', 'a', 0x00,    //
        0x01, 0x02, 0x03, 0x04, // time tag rawValue; the era is not written
        0x05, 0x06, 0x07, 0x08, //
    };
    EXPECT_EQ(encoded(message), expected);
}

TEST(OSCGoldenBytes, NestedArrayWritesBracketsAndConcatenatedChunks) {
    const OSCMessage message("/a", {OSCArrayValue{{1, OSCArrayValue{{2.0f}}, "x"}}});
    const Bytes expected = {
        '/',  'a',  0x00, 0x00, // address "/a"
        ',',  '[',  'i',  '[',  // type tags ",[i[f]s]" …
        'f',  ']',  's',  ']',  //
        0x00, 0x00, 0x00, 0x00, // … four zero bytes
        0x00, 0x00, 0x00, 0x01, // Int32 1
        0x40, 0x00, 0x00, 0x00, // Float 2.0
        'x',  0x00, 0x00, 0x00, // String "x"
    };
    EXPECT_EQ(encoded(message), expected);
}

struct BlobCase {
    Blob blob;
    Bytes chunk;
};

class OSCBlobPadding : public testing::TestWithParam<BlobCase> {};

TEST_P(OSCBlobPadding, DataIsFollowedByOneToFourZeroBytes) {
    auto encoding = encodeOSCValue(OSCValue(GetParam().blob));
    ASSERT_TRUE(encoding.ok());
    EXPECT_EQ(encoding->tags, "b");
    EXPECT_EQ(encoding->chunk, GetParam().chunk);
}

INSTANTIATE_TEST_SUITE_P(Lengths, OSCBlobPadding,
                         testing::Values(BlobCase{{}, {0, 0, 0, 0, /* length 0 */ 0, 0, 0, 0 /* padding */}},
                                         BlobCase{{7, 8, 9}, {0, 0, 0, 3, /* length 3 */ 7, 8, 9, 0}},
                                         BlobCase{{1, 2, 3, 4},
                                                  {0, 0, 0, 4, /* length 4 */ 1, 2, 3, 4, 0, 0, 0, 0}}));

struct TextCase {
    const char* text;
    Bytes chunk;
};

class OSCStringPadding : public testing::TestWithParam<TextCase> {};

TEST_P(OSCStringPadding, TextIsPrintableASCIIFollowedByOneToFourZeroBytes) {
    auto encoding = encodeOSCValue(OSCValue(GetParam().text));
    ASSERT_TRUE(encoding.ok());
    EXPECT_EQ(encoding->chunk, GetParam().chunk);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, OSCStringPadding,
    testing::Values(TextCase{"", {0, 0, 0, 0}}, TextCase{"Pexlora", {'P', 'e', 'x', 'l', 'o', 'r', 'a', 0}},
                    TextCase{"Eos!", {'E', 'o', 's', '!', 0, 0, 0, 0}},
                    TextCase{"a\tb", {'a', '?', 'b', 0}}, // a TAB in a text value becomes "?"
                    TextCase{"caf\u00e9", {'c', 'a', 'f', 'e', 0, 0, 0, 0}}, // transliterated
                    TextCase{"\u4e2d", {'?', 0, 0, 0}},                      // no Latin-ASCII form
                    TextCase{"\U0001F600", {'?', '?', 0, 0}}));              // two UTF-16 code units

TEST(OSCGoldenBytes, NarrowNumbersAndTimeTagsWriteTheirDocumentedLayout) {
    EXPECT_EQ(encodeOSCValue(OSCValue(3035))->chunk, (Bytes{0x00, 0x00, 0x0b, 0xdb}));
    EXPECT_EQ(encodeOSCValue(OSCValue(Character{"\u00e9"}))->chunk, (Bytes{0, 0, 0, 'e'}));
    EXPECT_EQ(encodeOSCValue(OSCValue(Character{"\u4e2d"}))->chunk, (Bytes{0, 0, 0, '?'}));
    EXPECT_EQ(encodeOSCValue(OSCValue(Character{"\r\n"}))->chunk, (Bytes{0, 0, 0, '\n'}));
    const float nan = std::bit_cast<float>(0x7fc00123u);
    EXPECT_EQ(encodeOSCValue(OSCValue(nan))->chunk, (Bytes{0x7f, 0xc0, 0x01, 0x23})); // payload kept
    EXPECT_EQ(encodeOSCValue(OSCValue(-0.0f))->chunk, (Bytes{0x80, 0, 0, 0}));
}

TEST(OSCGoldenBytes, EmptyBundleIsHeaderAndImmediateTimeTag) {
    const Bytes expected = {
        '#',  'b',  'u',  'n',  // "#bundle" …
        'd',  'l',  'e',  0x00, // … and one zero byte
        0x00, 0x00, 0x00, 0x00, // time tag 1: immediately
        0x00, 0x00, 0x00, 0x01, //
    };
    EXPECT_EQ(*encodeOSC(OSCBundle()), expected);
}

TEST(OSCGoldenBytes, BundleElementsArePrecededByTheirLength) {
    const OSCBundle inner(OSCTimeTag{0, 2}, {OSCMessage("/b")});
    const OSCBundle outer(std::nullopt, {OSCMessage("/etc/discovery/request", {3035, "Pexlora"}), inner});
    const Bytes innerBytes = {
        '#',  'b',  'u',  'n',  // inner bundle header
        'd',  'l',  'e',  0x00, //
        0x00, 0x00, 0x00, 0x00, // time tag 2
        0x00, 0x00, 0x00, 0x02, //
        0x00, 0x00, 0x00, 0x08, // element length 8
        '/',  'b',  0x00, 0x00, // address "/b"
        ',',  0x00, 0x00, 0x00, // type tags ","
    };
    const Bytes expected = concat({
        bytesOf(std::string_view("#bundle\0", 8)),
        {0, 0, 0, 0, 0, 0, 0, 1}, // time tag: immediately
        {0x00, 0x00, 0x00, 0x28}, // first element: 40 bytes
        discoveryRequest,
        {0x00, 0x00, 0x00, 0x1c}, // second element: 28 bytes
        innerBytes,
    });
    EXPECT_EQ(*encodeOSC(outer), expected);
    EXPECT_EQ(*encodeOSC(OSCPacket(outer)), expected);
}

TEST(OSCGoldenBytes, AddressKeepsControlCharactersOnlyWhenAllASCII) {
    EXPECT_EQ(OSCAddressPattern("/a\tb").rawAddress(), "/a\tb");
    EXPECT_EQ(OSCAddressPattern("/a\tb\u00e9").rawAddress(), "/a?be");
    EXPECT_EQ(OSCAddressPattern("/caf\u00e9").rawAddress(), "/cafe");
    EXPECT_EQ(OSCAddressPattern("/\u4e2d").rawAddress(), "/?");
    EXPECT_EQ(OSCAddressPattern("no//slash/").rawAddress(), "no//slash/");
    EXPECT_EQ(OSCAddressPattern::fromComponents({"eos", "user"}).rawAddress(), "/eos/user");
    EXPECT_EQ(OSCAddressPattern::fromComponents({}).rawAddress(), "/");
    const Bytes expected = {
        '/', 'c',  'a',  'f',  // address "/café" written as "/cafe" …
        'e', 0x00, 0x00, 0x00, // … three zero bytes
        ',', 0x00, 0x00, 0x00, // type tags ","
    };
    EXPECT_EQ(encoded(OSCMessage("/caf\u00e9")), expected);
}

TEST(OSCGoldenBytes, RawDataIsSentUnchangedWhateverTheFieldsSay) {
    Bytes withTrailing = concat({discoveryRequest, {0, 0, 0, 0}});
    auto message = decodeOSCMessage(withTrailing);
    ASSERT_TRUE(message.ok());
    message->values.clear();
    EXPECT_EQ(encoded(*message), withTrailing);
}

} // namespace
} // namespace pexlora
