// SPDX-License-Identifier: GPL-3.0-or-later
#include "OSCTestSupport.h"
#include "osc/ASCIIString.h"
#include "osc/OSCNativeNumber.h"
#include "osc/OSCSerialization.h"
#include "osc/OSCValueEncoder.h"
#include "osc/OSCValueMask.h"

#include <limits>

namespace pexlora {
namespace {

using T = OSCValueToken;

TEST(OSCValueTokens, EachKindReportsItsToken) {
    const std::pair<OSCValue, T> cases[] = {
        {1, T::int32},
        {1.0f, T::float32},
        {"s", T::string},
        {Blob{}, T::blob},
        {true, T::bool_},
        {Character{"c"}, T::character},
        {1.0, T::double_},
        {std::int64_t{1}, T::int64},
        {OSCImpulseValue{}, T::impulse},
        {OSCMIDIValue{}, T::midi},
        {OSCNullValue{}, T::null},
        {OSCStringAltValue{}, T::stringAlt},
        {OSCTimeTag{}, T::timeTag},
        {OSCArrayValue{}, T::array},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(token(value), expected) << description(value);
    EXPECT_EQ(oscValueTokenName(T::numberOrBoolOptional), "numberOrBoolOptional");
    EXPECT_EQ(oscValueTokenName(T::bool_), "bool");
    EXPECT_EQ(static_cast<int>(T::blobOptional), 16);
}

TEST(OSCRegistry, KindsAreInRegistryOrderWithTheirTagIdentities) {
    const auto& kinds = OSCSerialization::shared().tagIdentities();
    ASSERT_EQ(kinds.size(), 14u);
    const std::string singleTags = "ifsb?cdhImNSt";
    for (std::size_t i = 0; i < singleTags.size(); ++i) {
        if (singleTags[i] == '?')
            continue;
        EXPECT_TRUE(std::holds_alternative<OSCValueStaticTagDecoder>(kinds[i].decoder)) << i;
        EXPECT_EQ(std::get<OSCValueTagIdentity::Tag>(kinds[i].identity.identity).tag, singleTags[i]);
    }
    EXPECT_EQ(std::get<OSCValueTagIdentity::Variable>(kinds[4].identity.identity).tags, "TF");
    const auto& variadic = std::get<OSCValueTagIdentity::Variadic>(kinds[13].identity.identity);
    EXPECT_EQ(variadic.minCount, 2);
    EXPECT_FALSE(variadic.maxCount.has_value());
    EXPECT_EQ(kinds[13].concreteType, T::array);
    // Every tag has the array as its last candidate; "T" has the boolean first.
    EXPECT_EQ(OSCSerialization::shared().candidates('r').size(), 1u);
    EXPECT_EQ(OSCSerialization::shared().candidates('T').front()->concreteType, T::bool_);
}

TEST(OSCValueTextForms, ValuesMessagesAndTimeTagsReadAsDocumented) {
    EXPECT_EQ(description(OSCMIDIValue{0x01, 0x9a, 0x3c, 0x7f}),
              "MIDI(portID: 0x01, status: 0x9A, data1: 0x3C, data2: 0x7F)");
    EXPECT_EQ(description(OSCValue(OSCImpulseValue{})), "Impulse");
    EXPECT_EQ(description(OSCValue(OSCNullValue{})), "Null");
    EXPECT_EQ(OSCTimeTag().description(), "1 (immediate)");
    EXPECT_EQ((OSCTimeTag{0, 42}).description(), "42");
    EXPECT_EQ((OSCTimeTag{3, 42}).description(), "42-era:3");
    EXPECT_EQ(ASCIIString::lossy("hi").description(), "ASCIIString(\"hi\")");
    EXPECT_EQ(OSCMessage("/x").description(), "OSCMessage(\"/x\")");
    EXPECT_EQ(OSCMessage("/eos/user/91/newcmd", {3035, "Pexlora", 2.0f, Blob{1, 2}, true}).description(),
              "OSCMessage(\"/eos/user/91/newcmd\", values: [3035, \"Pexlora\", 2.0, 2 bytes, true])");
}

TEST(OSCValueMask, CountsAndKindsAreCheckedAgainstTokens) {
    const std::vector<OSCValue> values = {1, "x"};
    EXPECT_TRUE(matchOSCValueMask(values, std::vector{T::int32, T::string}).ok());
    EXPECT_TRUE(matchOSCValueMask(values, std::vector{T::number, T::string, T::boolOptional}).ok());
    EXPECT_EQ(matchOSCValueMask(values, std::vector{T::int32}).error().description(),
              "Invalid argument count");
    EXPECT_EQ(matchOSCValueMask(values, std::vector{T::int32, T::string, T::bool_}).error().description(),
              "Invalid argument count");
    EXPECT_EQ(matchOSCValueMask(values, std::vector{T::string, T::string}).error().description(),
              "Mismatched types");
    EXPECT_TRUE(matchOSCValueMask(std::vector<OSCValue>{true}, std::vector{T::numberOrBool}).ok());
    EXPECT_FALSE(matchOSCValueMask(std::vector<OSCValue>{true}, std::vector{T::number}).ok());
    EXPECT_EQ(AnyOSCNumberValue::from(OSCValue(2.5f))->base, AnyOSCNumberValue::OSCNumberValueBase(2.5));
    EXPECT_FALSE(AnyOSCNumberValue::from(OSCValue("2")).has_value());
}

TEST(OSCNativeNumbers, NarrowTypesTravelAsTheWiderKinds) {
    EXPECT_EQ(*oscValueFrom(std::uint8_t{200}), OSCValue(200));
    EXPECT_EQ(encodeOSCValue(*oscValueFrom(std::uint8_t{200}))->chunk, (Bytes{0, 0, 0, 0xc8}));
    EXPECT_EQ(*oscValueFrom(std::int16_t{-2}), OSCValue(-2));
    const auto big = encodeOSCValue(*oscValueFrom(std::uint32_t{4000000000u}));
    EXPECT_EQ(big->tags, "h");
    EXPECT_EQ(big->chunk, (Bytes{0, 0, 0, 0, 0xee, 0x6b, 0x28, 0x00}));
    EXPECT_EQ(*oscValueFrom(1.5L), OSCValue(1.5));
    EXPECT_EQ(token(*oscValueFrom(std::uint64_t{1})), T::int64);
}

TEST(OSCNativeNumbers, NumbersTheirKindCannotHoldAreRefusedInOrder) {
    const auto tooBig = oscValueFrom(std::uint64_t{1} << 63);
    ASSERT_FALSE(tooBig.ok());
    EXPECT_EQ(tooBig.error().kind, OSCEncodeError::Case::valueEncodingError);
    EXPECT_FALSE(oscValueFromHostInt(std::intptr_t{1} << 40).ok());
    EXPECT_EQ(*oscValueFromHostInt(-5), OSCValue(-5));

    EXPECT_EQ(*nativeNumber<std::uint8_t>(OSCValue(255)), 255);
    EXPECT_EQ(nativeNumber<std::uint8_t>(OSCValue(256)).error().kind,
              OSCDecodeError::Case::valueDecodingError);
    EXPECT_EQ(nativeNumber<std::int8_t>(OSCValue(-129)).error().kind,
              OSCDecodeError::Case::valueDecodingError);
    EXPECT_EQ(*nativeNumber<std::uint32_t>(OSCValue(std::int64_t{4294967295})), 4294967295u);
    EXPECT_FALSE(nativeNumber<std::uint32_t>(OSCValue(std::int64_t{4294967296})).ok());
    EXPECT_FALSE(nativeNumber<std::uint64_t>(OSCValue(std::int64_t{-1})).ok());
    EXPECT_FALSE(nativeNumber<std::uint16_t>(OSCValue("7")).ok());
    EXPECT_EQ(*hostIntFromOSCValue(OSCValue(-7)), -7);
}

TEST(OSCValueEncoding, LengthsBeyondTheSignedFieldAreRefused) {
    EXPECT_EQ(*detail::oscLengthField(2147483647u, "Blob"), 2147483647);
    const auto refused = detail::oscLengthField(2147483648u, "Blob");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().description(),
              "OSC value encoding error: Blob of 2147483648 bytes is longer than the "
              "2147483647 bytes a length field can hold.");
}

TEST(OSCValueEncoding, ArraysAndBundlesNestingTooDeepFailWithoutBytes) {
    OSCValue deep = OSCArrayValue{};
    for (int i = 1; i < 64; ++i)
        deep = OSCArrayValue{{deep}};
    EXPECT_TRUE(encodeOSC(OSCMessage("/d", {deep})).ok());
    deep = OSCArrayValue{{deep}};
    const auto refused = encodeOSC(OSCMessage("/d", {1, deep}));
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().kind, OSCEncodeError::Case::valueEncodingError);

    OSCBundle bundle;
    for (int i = 0; i < 64; ++i)
        bundle = OSCBundle(std::nullopt, {bundle});
    EXPECT_FALSE(encodeOSC(bundle).ok());
}

TEST(OSCValueEncoding, ArrayTagsBracketTheirElementsTags) {
    auto encoding = encodeOSCValue(OSCArrayValue{{1, OSCArrayValue{{2.0f}}, "x"}});
    ASSERT_TRUE(encoding.ok());
    EXPECT_EQ(encoding->tags, "[i[f]s]");
}

} // namespace
} // namespace pexlora
