// SPDX-License-Identifier: GPL-3.0-or-later
#include "OSCTestSupport.h"
#include "osc/OSCSerialization.h"
#include "osc/OSCValueDecoder.h"

namespace pexlora {
namespace {

using Case = OSCDecodeError::Case;

// A message to "/a" with the given type tags (after the comma) and value bytes.
Bytes message(std::string_view tags, Bytes values = {}) {
    Bytes bytes = {'/', 'a', 0, 0, ','};
    bytes.insert(bytes.end(), tags.begin(), tags.end());
    bytes.resize(4 + (1 + tags.size() + 4) / 4 * 4, 0);
    return concat({bytes, values});
}

Bytes bundle(Bytes elements) {
    return concat({bytesOf(std::string_view("#bundle\0", 8)), {0, 0, 0, 0, 0, 0, 0, 1}, elements});
}

struct ErrorCase {
    const char* name;
    Bytes bytes;
    Case kind;
    std::string text;
};

void PrintTo(const ErrorCase& c, std::ostream* out) {
    *out << c.name;
}

class OSCDecodeFailure : public testing::TestWithParam<ErrorCase> {};

TEST_P(OSCDecodeFailure, EndsInItsOwnCaseAndText) {
    const OSCDecodeError error = decodeFailure(GetParam().bytes);
    EXPECT_EQ(error.kind, GetParam().kind);
    EXPECT_EQ(error.text, GetParam().text);
}

std::string caseName(const testing::TestParamInfo<ErrorCase>& param) {
    return param.param.name;
}

const std::string noDecoderForR =
    "No decoder found to decode OSC type tag: r. Only decoder types supplied by the codec can be used.";

INSTANTIATE_TEST_SUITE_P(
    Messages, OSCDecodeFailure,
    testing::Values(
        ErrorCase{"LengthNotMultipleOfFour", Bytes{'/', 'a', 0, 0, ',', 0, 0}, Case::malformed,
                  "Length not a multiple of 4 bytes."},
        ErrorCase{"UnterminatedAddress", bytesOf("/abc"), Case::malformed,
                  "Address pattern string could not be parsed."},
        ErrorCase{"NonASCIIAddress", Bytes{'/', 0xe9, 0, 0}, Case::malformed,
                  "Address pattern string could not be parsed."},
        ErrorCase{"AddressOnly", Bytes{'/', 'a', 0, 0}, Case::malformed, "Couldn't extract OSC-type chunk."},
        ErrorCase{"UnknownTag", message("r"), Case::internalInconsistency, noDecoderForR},
        ErrorCase{"ClosingBracketOutsideArray", message("]"), Case::internalInconsistency,
                  "No decoder found to decode OSC type tag: ]. Only decoder types supplied by the codec can "
                  "be used."},
        ErrorCase{"UnterminatedArray", message("[ii", {0, 0, 0, 1, 0, 0, 0, 2}), Case::malformed,
                  "Array termination tag ']' was not found."},
        ErrorCase{"MissingInt32", message("i"), Case::malformed,
                  "Not enough bytes while reading Int32 data chunk."},
        ErrorCase{"MissingFloat32", message("f"), Case::malformed,
                  "Not enough bytes while reading Float32 data chunk."},
        ErrorCase{"ShortInt64", message("h", {0, 0, 0, 1}), Case::malformed,
                  "Not enough bytes while reading Int64 data chunk."},
        ErrorCase{"ShortDouble", message("d", {0, 0, 0, 1}), Case::malformed,
                  "Not enough bytes while reading Double data chunk."},
        ErrorCase{"ShortTimeTag", message("t", {0, 0, 0, 1}), Case::malformed,
                  "Not enough bytes while reading UInt64 data chunk."},
        ErrorCase{
            "MissingMIDI", message("m"), Case::malformed,
            "Not enough bytes remain in data stream while parsing data. Attempted to read 4 bytes but only 0 "
            "bytes remain."},
        ErrorCase{"MissingString", message("s"), Case::malformed,
                  "Not enough bytes in 4-byte aligned null-terminated data chunk."},
        ErrorCase{"UnterminatedString", message("s", bytesOf("abcd")), Case::malformed,
                  "4-byte aligned null-terminated data chunk does not terminate in null bytes as expected."},
        ErrorCase{"StringPaddingNotZero", message("s", {'a', 'b', 'c', 'd', 0, 1, 0, 0}), Case::malformed,
                  "4-byte aligned null-terminated data chunk does not terminate in null bytes as expected."},
        ErrorCase{"StringWithHighByte", message("s", {'a', 0x80, 0, 0}), Case::malformed,
                  "Failed to form valid ASCII string from 4-byte aligned null-terminated ASCII string chunk. "
                  "Non-ASCII characters may be present or the data is malformed."},
        ErrorCase{"StringWithNonASCIIEscape", message("s", bytesOf(std::string_view("\\u00e9\0\0", 8))),
                  Case::malformed,
                  "Failed to form valid ASCII string from 4-byte aligned null-terminated ASCII string chunk. "
                  "Non-ASCII characters may be present or the data is malformed."},
        ErrorCase{"CharacterAbove255", message("c", {0, 0, 0x01, 0x2c}), Case::malformed,
                  "Character value couldn't be read. Could not form a Unicode scalar from the value."},
        ErrorCase{"CharacterNotASCII", message("c", {0, 0, 0, 0xc8}), Case::malformed,
                  "Character value couldn't be read. Could not form a Unicode scalar from the value."},
        ErrorCase{
            "NegativeBlobLength", message("b", {0xff, 0xff, 0xff, 0xff}), Case::malformed,
            "Failed to read Int32 length chunk at start of 4-byte aligned null-terminated blob data chunk."},
        ErrorCase{
            "BlobLongerThanADatagram", message("b", {0, 0, 0xff, 0xe3}), Case::malformed,
            "Failed to read Int32 length chunk at start of 4-byte aligned null-terminated blob data chunk."},
        ErrorCase{
            "MissingBlobLength", message("b"), Case::malformed,
            "Failed to read Int32 length chunk at start of 4-byte aligned null-terminated blob data chunk."},
        ErrorCase{"BlobPastTheEnd", message("b", {0, 0, 0, 8, 1, 2, 3, 4}), Case::malformed,
                  "Encoded blob chunk length is greater than the available data length."},
        ErrorCase{"BlobPaddingNotZero", message("b", {0, 0, 0, 3, 1, 2, 3, 9}), Case::malformed,
                  "Expected 4-byte null terminated data but expected null bytes were not found."}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Bundles, OSCDecodeFailure,
    testing::Values(ErrorCase{"TooShort", bytesOf(std::string_view("#bundle\0\0\0\0\0\0\0\1", 15)),
                              Case::malformed, "Data length too short. (Length is 15)"},
                    ErrorCase{"ElementPastTheEnd", bundle({0, 0, 0, 100, '/', 'a', 0, 0}), Case::malformed,
                              "Data bytes ended earlier than expected."},
                    ErrorCase{"NegativeElementSize", bundle({0xff, 0xff, 0xff, 0xfc, '/', 'a', 0, 0}),
                              Case::malformed, "Data bytes ended earlier than expected."},
                    ErrorCase{"ShortSizeField", bundle({0, 0, 0}), Case::malformed,
                              "Data bytes ended earlier than expected."},
                    ErrorCase{"UnrecognizedElement", bundle({0, 0, 0, 4, 'x', 'y', 'z', 0}), Case::malformed,
                              "Unrecognized bundle element encountered."},
                    ErrorCase{"EmptyElement", bundle({0, 0, 0, 0}), Case::malformed,
                              "Unrecognized bundle element encountered."},
                    ErrorCase{"FailingElement", bundle(concat({{0, 0, 0, 8}, message("r")})),
                              Case::internalInconsistency, noDecoderForR}),
    caseName);

TEST(OSCDecodeFailure, MessageDecoderRefusesBytesWithoutLeadingSlash) {
    auto decoded = decodeOSCMessage(bytesOf("xabc"));
    ASSERT_FALSE(decoded.ok());
    EXPECT_EQ(decoded.error(), OSCDecodeError::malformed("Does not start with an address pattern."));
}

TEST(OSCDecodeFailure, BundleDecoderRefusesAMissingHeader) {
    auto decoded = decodeOSCBundle(bytesOf(std::string_view("#bundlX\0\0\0\0\0\0\0\0\1", 16)));
    ASSERT_FALSE(decoded.ok());
    EXPECT_EQ(decoded.error(), OSCDecodeError::malformed("Bundle header is not present or is malformed."));
}

TEST(OSCDecodeFailure, NeitherBundleNorMessageIsNoPacketAndNoError) {
    for (const Bytes& bytes : {Bytes{}, bytesOf("xabc"), bytesOf(std::string_view("#bundle", 7))}) {
        auto packet = decodeOSCPacket(bytes);
        ASSERT_TRUE(packet.ok());
        EXPECT_FALSE(packet->has_value());
        EXPECT_FALSE(oscPacketType(bytes).has_value());
    }
}

TEST(OSCDecodeFailure, ArraysNestAtMostSixtyFourDeep) {
    const auto nested = [](int depth) {
        return message(std::string(static_cast<std::size_t>(depth), '[') +
                       std::string(static_cast<std::size_t>(depth), ']'));
    };
    EXPECT_TRUE(decodeOSCPacket(nested(64)).ok());
    EXPECT_EQ(decodeFailure(nested(65)), OSCDecodeError::malformed("Arrays nest deeper than 64 levels."));
    EXPECT_EQ(decodeFailure(nested(5000)), OSCDecodeError::malformed("Arrays nest deeper than 64 levels."));
}

TEST(OSCDecodeFailure, BundlesNestAtMostSixtyFourDeep) {
    const auto nested = [](int depth) {
        Bytes bytes = bundle({});
        for (int i = 1; i < depth; ++i) {
            const auto size = static_cast<std::uint8_t>(bytes.size());
            bytes = bundle(concat({{0, 0, static_cast<std::uint8_t>(bytes.size() >> 8), size}, bytes}));
        }
        return bytes;
    };
    EXPECT_TRUE(decodeOSCPacket(nested(64)).ok());
    EXPECT_EQ(decodeFailure(nested(65)), OSCDecodeError::malformed("Bundles nest deeper than 64 levels."));
}

TEST(OSCDecodeFailure, BooleanDecoderRefusesOtherTagsAsUnexpectedType) {
    const auto& kinds = OSCSerialization::shared().tagIdentities();
    const auto& boolean = std::get<OSCValueVariableTagDecoder>(kinds.at(4).decoder);
    OSCValueDecoder reader({});
    OSCValue into;
    auto value = boolean.block('X', reader, into);
    ASSERT_FALSE(value.ok());
    EXPECT_EQ(into, OSCValue(0)) << "a refused tag leaves the value as it was";
    EXPECT_EQ(value.error(), OSCDecodeError::unexpectedType('X'));
    EXPECT_EQ(value.error().description(), "Unexpected OSC Type Tag: X");
}

TEST(OSCValueDecoderBounds, EveryReaderChecksWhatRemainsBeforeReading) {
    const Bytes four = {0, 0, 0, 3};
    OSCValueDecoder reader(four);
    EXPECT_EQ(reader.readBytes(-1).error(),
              OSCDecodeError::internalInconsistency("Negative byte count requested while parsing data: -1"));
    EXPECT_EQ(
        reader.advance(8).error(),
        OSCDecodeError::malformed("Attempted to advance byte read position past end of available bytes. 4 "
                                  "bytes remain but 8 were advanced."));
    EXPECT_EQ(reader.pos(), 0u);
    EXPECT_TRUE(reader.advance(4).ok());
    EXPECT_EQ(reader.readInt32().error().text, "Not enough bytes while reading Int32 data chunk.");

    const Bytes unaligned = {0, 0, 0, 3, 1, 2, 3};
    OSCValueDecoder blobReader(unaligned);
    EXPECT_EQ(
        blobReader.readBlob().error(),
        OSCDecodeError::malformed("Not enough bytes in 4-byte aligned null-terminated blob data chunk."));
}

TEST(OSCValueDecoderBounds, ReadsOnlyInsideItsSpanOfALargerBuffer) {
    // The bytes past the span are printable and non-zero: a read past the end would
    // take them as a terminator-less string instead of failing.
    const Bytes buffer = concat({message("s"), Bytes(16, 'A')});
    const std::span<const std::uint8_t> exact(buffer.data(), 8);
    EXPECT_EQ(decodeOSCMessage(exact).error().text,
              "Not enough bytes in 4-byte aligned null-terminated data chunk.");
}

struct TextFormCase {
    OSCDecodeError error;
    const char* description;
};

TEST(OSCErrorTextForms, EachCasePutsItsPrefixBeforeTheText) {
    const TextFormCase decodeCases[] = {
        {OSCDecodeError::malformed("Length not a multiple of 4 bytes."),
         "Malformed data: Length not a multiple of 4 bytes."},
        {OSCDecodeError::unexpectedType('q'), "Unexpected OSC Type Tag: q"},
        {OSCDecodeError::valueDecodingError("x"), "OSC value decoding error: x"},
        {OSCDecodeError::internalInconsistency("y"), "Internal inconsistency: y"},
    };
    for (const auto& c : decodeCases)
        EXPECT_EQ(c.error.description(), c.description);
    EXPECT_EQ(OSCEncodeError::general("a").description(), "Encoding error: a");
    EXPECT_EQ(OSCEncodeError::valueEncodingError("b").description(), "OSC value encoding error: b");
    EXPECT_EQ(OSCEncodeError::internalInconsistency("c").description(), "Internal inconsistency: c");
}

} // namespace
} // namespace pexlora

namespace pexlora {
namespace {

// Strings are scanned several bytes at a time; a special byte must be seen wherever it sits.
TEST(OSCValueDecoderBounds, SpecialBytesAreFoundAtEveryPositionOfALongString) {
    for (std::size_t at = 0; at < 21; ++at) {
        std::string text(24, 'a');
        text.replace(at, 4, "\\101"); // an escape for "A"
        Bytes escaped = message("s", concat({bytesOf(text), {0, 0, 0, 0}}));
        std::string expected(24, 'a');
        expected.replace(at, 4, "A");
        EXPECT_EQ(decodeOSCMessage(escaped)->values, (OSCValues{expected})) << at;

        Bytes high = message("s", concat({Bytes(24, 'a'), {0, 0, 0, 0}}));
        high[high.size() - 28 + at] = 0xC3;
        EXPECT_EQ(decodeFailure(high).text.substr(0, 32), "Failed to form valid ASCII strin") << at;
    }
}

} // namespace
} // namespace pexlora

namespace pexlora {
namespace {

// Short strings end inside the first eight bytes scanned; what comes before their
// terminator must still be checked, byte by byte, whatever the length.
TEST(OSCValueDecoderBounds, SpecialBytesBeforeTheTerminatorOfShortStringsAreFound) {
    const Bytes trailer = {0, 0, 0, 7, 0, 0, 0, 8}; // two Int32 after the string keep bytes after it
    for (std::size_t length = 1; length < 16; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            std::string text(length, 'a');
            text[at] = '\xC3';
            Bytes high = message("sii", concat({bytesOf(text), Bytes(4 - length % 4, 0), trailer}));
            EXPECT_EQ(decodeFailure(high).kind, Case::malformed) << length << " " << at;
            if (at + 4 > length)
                continue;
            text.replace(at, 4, "\\101");
            std::string expected = text;
            expected.replace(at, 4, "A");
            const Bytes escaped = message("sii", concat({bytesOf(text), Bytes(4 - length % 4, 0), trailer}));
            EXPECT_EQ(decodeOSCMessage(escaped)->values, (OSCValues{expected, 7, 8})) << length << " " << at;
        }
    }
}

} // namespace
} // namespace pexlora
