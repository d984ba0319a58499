// SPDX-License-Identifier: GPL-3.0-or-later
#include "OSCTestSupport.h"
#include "osc/OSCPacket.h"
#include "osc/OSCValueEncoder.h"

#include <limits>

namespace pexlora {
namespace {

constexpr std::uint8_t sentinel = 0xA5;

struct KindCase {
    const char* name;
    OSCValue value;
};

void PrintTo(const KindCase& c, std::ostream* out) {
    *out << c.name;
}

const KindCase everyKind[] = {
    {"Int32", std::numeric_limits<std::int32_t>::min()},
    {"Float", -1.5f},
    {"String", "Pexlora 1-10"},
    {"EmptyString", ""},
    {"BlobOf3", Blob{0xC0, 0xDB, 0x00}},
    {"BlobOf4", Blob{1, 2, 3, 4}},
    {"EmptyBlob", Blob{}},
    {"True", true},
    {"False", false},
    {"Character", Character{"z"}},
    {"Double", 6.02214076e23},
    {"Int64", std::numeric_limits<std::int64_t>::max()},
    {"Impulse", OSCImpulseValue{}},
    {"MIDI", OSCMIDIValue{0, 0xB0, 7, 100}},
    {"Null", OSCNullValue{}},
    {"StringAlt", OSCStringAltValue{"sym"}},
    {"TimeTag", OSCTimeTag{0, 0x83aa7e8000000000}},
    {"EmptyArray", OSCArrayValue{}},
    {"NestedArray", OSCArrayValue{{1, OSCArrayValue{{2.0f, Blob{9}}}, "x", true}}},
};

class OSCRoundTrip : public testing::TestWithParam<KindCase> {};

// The bytes copied into the middle of a buffer filled with the sentinel: a reader
// that strays past the end meets the sentinel instead of a guard page.
std::span<const std::uint8_t> amidSentinels(Bytes& buffer, const Bytes& bytes) {
    buffer.assign(bytes.size() + 64, sentinel);
    std::copy(bytes.begin(), bytes.end(), buffer.begin() + 32);
    return {buffer.data() + 32, bytes.size()};
}

TEST_P(OSCRoundTrip, BareValueComesBackEqual) {
    const OSCMessage sent("/round/trip", {GetParam().value, 7});
    Bytes out(16, sentinel);
    ASSERT_TRUE(OSCMessageEncoder(out).append(sent).ok());
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 16), Bytes(16, sentinel))
        << "bytes before the message changed";
    const Bytes bytes(out.begin() + 16, out.end());
    EXPECT_EQ(bytes, encoded(sent));
    EXPECT_EQ(bytes.size() % 4, 0u);

    Bytes buffer;
    auto received = decodeOSCMessage(amidSentinels(buffer, bytes));
    ASSERT_TRUE(received.ok()) << received.error().description();
    EXPECT_EQ(received->addressPattern, sent.addressPattern);
    EXPECT_EQ(received->values, sent.values);
    ASSERT_TRUE(received->_rawData);
    EXPECT_EQ(Bytes(received->_rawData->begin(), received->_rawData->end()), bytes);
}

// Bare, inside arrays (nested too) and inside nested bundles, a value is read and
// written by the same code: all of them must agree with each other.
TEST_P(OSCRoundTrip, ValueInArraysAndNestedBundlesComesBackEqual) {
    const OSCValue& value = GetParam().value;
    const OSCValues inArrays = {OSCArrayValue{{value, OSCArrayValue{{value}}, 7}}, value};
    const OSCMessage inner("/inner", {value});
    const OSCBundle sent(OSCTimeTag{0, 42},
                         {OSCMessage("/first", {value, "after"}), OSCMessage("/arrays", inArrays),
                          OSCBundle(std::nullopt, {inner})});
    auto bytes = encodeOSC(OSCPacket(sent));
    ASSERT_TRUE(bytes.ok());

    Bytes buffer;
    auto received = decodeOSCPacket(amidSentinels(buffer, *bytes));
    ASSERT_TRUE(received.ok()) << received.error().description();
    ASSERT_TRUE(received->has_value());
    const OSCBundle* bundle = (*received)->bundle();
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(bundle->timeTag, (OSCTimeTag{0, 42}));
    ASSERT_EQ(bundle->elements.size(), 3u);
    EXPECT_EQ(bundle->elements[0].message()->values, (OSCValues{value, "after"}));
    EXPECT_EQ(bundle->elements[1].message()->values, inArrays);
    const OSCBundle* nested = bundle->elements[2].bundle();
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->timeTag, OSCTimeTag::immediate());
    EXPECT_EQ(nested->elements.at(0).message()->values, inner.values);
    EXPECT_EQ(*encodeOSC(*bundle), *bytes) << "a decoded bundle re-sends its own bytes";

    const auto alone = encodeOSCValue(value);
    const auto wrapped = encodeOSCValue(OSCArrayValue{{value}});
    ASSERT_TRUE(alone.ok() && wrapped.ok());
    EXPECT_EQ(wrapped->tags, "[" + alone->tags + "]");
    EXPECT_EQ(wrapped->chunk, alone->chunk) << "an array adds no bytes of its own";
}

INSTANTIATE_TEST_SUITE_P(EveryKind, OSCRoundTrip, testing::ValuesIn(everyKind),
                         [](const testing::TestParamInfo<KindCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(OSCRoundTrip, FloatsKeepEveryBitIncludingNaNPayloadAndSignedZero) {
    const float nan = std::bit_cast<float>(0x7fa00001u);
    const double negativeZero = -0.0;
    auto received = decodeOSCMessage(encoded(OSCMessage("/f", {nan, negativeZero})));
    ASSERT_TRUE(received.ok());
    EXPECT_EQ(std::bit_cast<std::uint32_t>(std::get<float>(received->values[0])), 0x7fa00001u);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(std::get<double>(received->values[1])), 0x8000000000000000u);
}

TEST(OSCRoundTrip, BlobOfOSC10PeersWithoutPaddingIsAcceptedWhenNoZerosFollow) {
    const Bytes osc10 = {
        '/', 'b', 0,   0, // address "/b"
        ',', 'b', 'i', 0, // type tags ",bi"
        0,   0,   0,   4, // blob length 4
        1,   2,   3,   4, // blob bytes, no padding (OSC 1.0)
        0,   0,   0,   7, // Int32 7
    };
    auto received = decodeOSCMessage(osc10);
    ASSERT_TRUE(received.ok()) << received.error().description();
    EXPECT_EQ(received->values, (OSCValues{Blob{1, 2, 3, 4}, 7}));
    const Bytes atEnd = {'/', 'b', 0, 0, ',', 'b', 0, 0, 0, 0, 0, 4, 1, 2, 3, 4};
    EXPECT_EQ(decodeOSCMessage(atEnd)->values, (OSCValues{Blob{1, 2, 3, 4}}));
}

TEST(OSCRoundTrip, TagStringNeedNotStartWithAComma) {
    const Bytes bytes = {
        '/', 'a', 0, 0, // address "/a"
        'i', 's', 0, 0, // type tags "is", no comma
        0,   0,   0, 5, // Int32 5
        'x', 0,   0, 0, // String "x"
    };
    EXPECT_EQ(decodeOSCMessage(bytes)->values, (OSCValues{5, "x"}));
    Bytes commas = bytes;
    commas[4] = ',';
    commas[5] = 'i';
    commas[6] = ',';
    commas[7] = 's';
    commas.insert(commas.begin() + 8, {0, 0, 0, 0});
    EXPECT_EQ(decodeOSCMessage(commas)->values, (OSCValues{5, "x"}));
}

TEST(OSCRoundTrip, BooleansAndEmptyArraysConsumeNoBytes) {
    const Bytes bytes = {'/', 'a', 0, 0, ',', 'T', '[', ']', 'F', 0, 0, 0};
    EXPECT_EQ(decodeOSCMessage(bytes)->values, (OSCValues{true, OSCArrayValue{}, false}));
}

} // namespace
} // namespace pexlora
