// SPDX-License-Identifier: GPL-3.0-or-later
#include "plist/BinaryPlistReader.h"

#include "PlistTestSupport.h"
#include "plist/BinaryPlistWriter.h"

#include <limits>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;
using test::bytes;
using test::dictionary;
using test::errorOf;
using test::RawPlist;

PlistErrorKind kindOf(const QByteArray& file) {
    const auto result = readBinaryPropertyList(file);
    EXPECT_FALSE(result.ok());
    return result.ok() ? PlistErrorKind::notPropertyList : result.error().kind;
}

// An array holding the array after it, `levels` deep, ending in an empty array.
RawPlist nestedArrays(int levels) {
    RawPlist raw;
    raw.refWidth = levels >= 255 ? 4 : 1;
    raw.offsetWidth = 4;
    for (int i = 0; i + 1 < levels; ++i)
        raw.objects.push_back(QByteArray(1, char(0xA1)) + raw.ref(std::uint64_t(i) + 1));
    raw.objects.push_back(bytes({0xA0}));
    return raw;
}

QByteArray sampleFile() {
    return writeBinaryPropertyList(dictionary({
        {u"elements"_s, PlistArray{dictionary({{u"id"_s, u"0A6E5F2C-6B7B-4F63-9C43-2B1E2A7D0E11"_s},
                                               {u"position"_s, dictionary({{u"col"_s, 3}, {u"row"_s, -4}})},
                                               {u"numberString"_s, QString::fromUtf8("12\xC2\xB7"
                                                                                     "5")}})}},
        {u"zoomScale"_s, 1.5},
        {u"when"_s, PlistDate{10.0}},
        {u"blob"_s, QByteArray("\x01\x02", 2)},
    }));
}

TEST(BinaryPlistReader, EveryTruncationOfAValidFileIsRefused) {
    const QByteArray file = sampleFile();
    ASSERT_TRUE(readBinaryPropertyList(file).ok());
    for (qsizetype size = 0; size < file.size(); ++size)
        EXPECT_FALSE(readBinaryPropertyList(file.first(size)).ok()) << "truncated to " << size;
}

TEST(BinaryPlistReader, OtherVersionIsRefused) {
    QByteArray file = sampleFile();
    file[7] = '1';
    const auto result = readBinaryPropertyList(file);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, PlistErrorKind::unsupported);
    EXPECT_EQ(result.error().message, u"the binary property list has a version other than “00”"_s);
}

TEST(BinaryPlistReader, OffsetTableOutsideTheFileIsRefused) {
    RawPlist raw;
    raw.objects = {bytes({0x10, 0x01})};
    raw.tableStart = 1000;
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, u"the offset table lies outside the file"_s);
}

TEST(BinaryPlistReader, HugeDeclaredObjectCountIsRefused) {
    RawPlist raw;
    raw.objects = {bytes({0x10, 0x01})};
    raw.objectCount = std::numeric_limits<std::uint64_t>::max();
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, PlistErrorKind::malformed);
    EXPECT_TRUE(result.error().message.contains(u"more than the offset table can hold"_s))
        << test::errorText(result.error());
}

TEST(BinaryPlistReader, HugeDeclaredArrayLengthIsRefused) {
    RawPlist raw;
    raw.objects = {bytes({0xAF, 0x13, 0x40, 0, 0, 0, 0, 0, 0, 0})};
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, u"the references of object 0 run past the object area"_s);
}

TEST(BinaryPlistReader, HugeDeclaredStringLengthIsRefused) {
    RawPlist raw;
    raw.objects = {bytes({0x6F, 0x13, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})};
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, u"object 0 runs past the object area"_s);
}

TEST(BinaryPlistReader, ObjectOffsetOutsideTheObjectAreaIsRefused) {
    RawPlist raw;
    raw.objects = {bytes({0x10, 0x01})};
    raw.offsetOverrides = {std::uint64_t(200)};
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, u"object 0 starts outside the object area"_s);
}

TEST(BinaryPlistReader, ReferenceBeyondTheObjectsIsRefused) {
    RawPlist raw;
    raw.objects = {bytes({0xA1, 0x07})};
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, u"a reference points to object 7 of 1"_s);
}

TEST(BinaryPlistReader, ArrayContainingItselfIsRefusedAsCyclic) {
    RawPlist raw;
    raw.objects = {bytes({0xA1, 0x00})};
    EXPECT_EQ(kindOf(raw.bytes()), PlistErrorKind::cyclic);
}

TEST(BinaryPlistReader, CycleThroughADictionaryIsRefused) {
    RawPlist raw;
    raw.objects = {bytes({0xD1, 0x01, 0x02}), bytes({0x51, 'k'}), bytes({0xA1, 0x00})};
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, PlistErrorKind::cyclic);
    EXPECT_EQ(result.error().message, u"object 0 contains itself"_s);
}

TEST(BinaryPlistReader, ModestSharingOfAContainerReadsAsATree) {
    RawPlist raw;
    raw.objects = {bytes({0xA3, 0x01, 0x01, 0x01}), bytes({0xA2, 0x02, 0x02}), bytes({0x51, 'x'})};
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_TRUE(result.ok()) << test::errorText(result.error());
    const PlistValue pair = PlistArray{u"x"_s, u"x"_s};
    EXPECT_EQ(result.value(), PlistValue(PlistArray{pair, pair, pair}));
}

TEST(BinaryPlistReader, ExponentialSharingIsRefused) {
    // Forty arrays, each holding the next one twice: 2^40 nodes as a tree.
    RawPlist raw;
    for (int i = 0; i < 40; ++i)
        raw.objects.push_back(bytes({0xA2, i + 1, i + 1}));
    raw.objects.push_back(bytes({0x10, 0x00}));
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, PlistErrorKind::tooManyNodes);
    EXPECT_EQ(result.error().message, u"the file's shared references expand to too many values"_s);
}

TEST(BinaryPlistReader, ManyReferencesToOneScalarAreNotABlowUp) {
    // What a writer that shares equal values produces for a list of zeros.
    RawPlist raw;
    raw.offsetWidth = 2;
    QByteArray array = bytes({0xAF, 0x11, 0x03, 0xE8});
    array.append(QByteArray(1000, '\x01'));
    raw.objects = {array, bytes({0x10, 0x00})};
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_TRUE(result.ok()) << test::errorText(result.error());
    EXPECT_EQ(result.value().get<PlistArray>()->size(), 1000u);
}

TEST(BinaryPlistReader, NestingOfSixtyFourLevelsReads) {
    EXPECT_TRUE(readBinaryPropertyList(nestedArrays(64).bytes()).ok());
}

TEST(BinaryPlistReader, NestingBeyondSixtyFourLevelsIsRefused) {
    const auto result = readBinaryPropertyList(nestedArrays(65).bytes());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, PlistErrorKind::tooDeep);
    EXPECT_EQ(result.error().message, u"containers are nested deeper than 64 levels"_s);
}

TEST(BinaryPlistReader, HundredThousandLevelsAreRefusedWithoutCrashing) {
    EXPECT_EQ(kindOf(nestedArrays(100000).bytes()), PlistErrorKind::tooDeep);
}

TEST(BinaryPlistReader, DictionaryKeyThatIsNoStringIsRefused) {
    RawPlist raw;
    raw.objects = {bytes({0xD1, 0x01, 0x01}), bytes({0x10, 0x05})};
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, u"a key of dictionary object 0 is not a string"_s);
}

TEST(BinaryPlistReader, SixteenByteIntegersWithin64BitsRead) {
    RawPlist big;
    big.objects = {bytes({0x14, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0})};
    const auto unsignedResult = readBinaryPropertyList(big.bytes());
    ASSERT_TRUE(unsignedResult.ok());
    EXPECT_EQ(unsignedResult.value(), PlistValue(std::uint64_t(1) << 63));

    RawPlist negative;
    negative.objects = {bytes({0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                               0xFF, 0xFF, 0xFF, 0xFE})};
    const auto negativeResult = readBinaryPropertyList(negative.bytes());
    ASSERT_TRUE(negativeResult.ok());
    EXPECT_EQ(negativeResult.value(), PlistValue(-2));
}

TEST(BinaryPlistReader, IntegerBeyond64BitsIsRefused) {
    RawPlist raw;
    raw.objects = {bytes({0x14, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0})};
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, u"object 0 is an integer beyond 64 bits"_s);
}

TEST(BinaryPlistReader, FourByteRealReadsAsDouble) {
    RawPlist raw;
    raw.objects = {bytes({0x22, 0x3F, 0xC0, 0x00, 0x00})};
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.value(), PlistValue(1.5));
}

TEST(BinaryPlistReader, AsciiStringWithHighByteIsRefused) {
    RawPlist raw;
    raw.objects = {bytes({0x52, 'a', 0xE9})};
    EXPECT_EQ(kindOf(raw.bytes()), PlistErrorKind::malformed);
}

TEST(BinaryPlistReader, SetsUidsAndNullAreUnsupported) {
    for (const QByteArray& object : {bytes({0xC0}), bytes({0x80, 0x01}), bytes({0x00})}) {
        RawPlist raw;
        raw.objects = {object};
        EXPECT_EQ(kindOf(raw.bytes()), PlistErrorKind::unsupported) << object.toHex().toStdString();
    }
}

TEST(BinaryPlistReader, UnknownMarkerIsRefused) {
    RawPlist raw;
    raw.objects = {bytes({0x70})};
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, u"object 0 has the unknown type marker 0x70"_s);
}

TEST(BinaryPlistReader, LengthThatIsNoIntegerIsRefused) {
    RawPlist raw;
    raw.objects = {bytes({0x5F, 0x51, 'a'})};
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, u"the length of object 0 is not an integer"_s);
}

TEST(BinaryPlistReader, ZeroWidthsInTrailerAreRefused) {
    RawPlist raw;
    raw.objects = {bytes({0x10, 0x01})};
    QByteArray file = raw.bytes();
    file[file.size() - 26] = 0;
    EXPECT_EQ(kindOf(file), PlistErrorKind::malformed);
}

TEST(BinaryPlistReader, TopObjectOutOfRangeIsRefused) {
    RawPlist raw;
    raw.objects = {bytes({0x10, 0x01})};
    raw.topObject = 1;
    const auto result = readBinaryPropertyList(raw.bytes());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, u"the top object 1 does not exist"_s);
}

} // namespace
} // namespace pexlora
