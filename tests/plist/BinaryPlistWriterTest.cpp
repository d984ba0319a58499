// SPDX-License-Identifier: GPL-3.0-or-later
#include "plist/BinaryPlistWriter.h"

#include "PlistTestSupport.h"
#include "plist/BinaryPlistReader.h"

#include <limits>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;
using test::bytes;
using test::dictionary;

// The objects of a small written file, without the header, offset table and trailer.
QByteArray objectArea(const QByteArray& file) {
    const auto tableStart = qsizetype(quint8(file[file.size() - 1]));
    return file.mid(8, tableStart - 8);
}

int referenceWidth(const QByteArray& file) {
    return int(file[file.size() - 25]);
}
int objectCountLowByte(const QByteArray& file) {
    return quint8(file[file.size() - 17]);
}

TEST(BinaryPlistWriter, OneEntryDictionaryGolden) {
    const QByteArray file = writeBinaryPropertyList(dictionary({{u"a"_s, 1}}));
    const QByteArray expected = bytes({
        'b',  'p',  'l',  'i',  // header
        's',  't',  '0',  '0',  //
        0xD1, 0x01, 0x02,       // object 0: dictionary of one pair, key 1, value 2
        0x51, 'a',              // object 1: ASCII string "a"
        0x10, 0x01,             // object 2: one-byte integer 1
        0x08, 0x0B, 0x0D,       // offset table, one byte each
        0x00, 0x00, 0x00, 0x00, // trailer: unused
        0x00, 0x00, 0x01, 0x01, //   unused, sort version, offset width, reference width
        0x00, 0x00, 0x00, 0x00, //   object count
        0x00, 0x00, 0x00, 0x03, //
        0x00, 0x00, 0x00, 0x00, //   top object
        0x00, 0x00, 0x00, 0x00, //
        0x00, 0x00, 0x00, 0x00, //   offset table start
        0x00, 0x00, 0x00, 0x0F, //
    });
    EXPECT_EQ(file.toHex(' '), expected.toHex(' '));
}

TEST(BinaryPlistWriter, IntegersTakeTheSmallestWidthAndNegativesEightBytes) {
    EXPECT_EQ(objectArea(writeBinaryPropertyList(255)), bytes({0x10, 0xFF}));
    EXPECT_EQ(objectArea(writeBinaryPropertyList(256)), bytes({0x11, 0x01, 0x00}));
    EXPECT_EQ(objectArea(writeBinaryPropertyList(65536)), bytes({0x12, 0x00, 0x01, 0x00, 0x00}));
    EXPECT_EQ(objectArea(writeBinaryPropertyList(std::int64_t(1) << 32)),
              bytes({0x13, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(objectArea(writeBinaryPropertyList(-1)),
              bytes({0x13, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(BinaryPlistWriter, UnsignedBeyondSignedRangeTakesSixteenBytes) {
    const QByteArray area = objectArea(writeBinaryPropertyList(std::numeric_limits<std::uint64_t>::max()));
    EXPECT_EQ(area, bytes({0x14, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(BinaryPlistWriter, RealIsEightByteBigEndianDouble) {
    EXPECT_EQ(objectArea(writeBinaryPropertyList(1.0)), bytes({0x23, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0}));
}

TEST(BinaryPlistWriter, NonAsciiStringIsUtf16BigEndianCountedInCodeUnits) {
    // "é" and a character outside the basic plane (two code units).
    const QByteArray area =
        objectArea(writeBinaryPropertyList(QString::fromUtf8("\xC3\xA9\xF0\x9F\x8E\x9B")));
    EXPECT_EQ(area, bytes({0x63, 0x00, 0xE9, 0xD8, 0x3C, 0xDF, 0x9B}));
}

TEST(BinaryPlistWriter, LengthOfFifteenOrMoreFollowsAsIntegerObject) {
    const QByteArray area = objectArea(writeBinaryPropertyList(QString(15, u'x')));
    EXPECT_EQ(area.left(3), bytes({0x5F, 0x10, 0x0F}));
    EXPECT_EQ(area.size(), 3 + 15);
}

TEST(BinaryPlistWriter, EqualStringsAndNumbersAreWrittenOnce) {
    PlistArray items;
    for (int i = 0; i < 100; ++i)
        items.push_back(dictionary({{u"key"_s, u"value"_s}, {u"n"_s, 7}}));
    const QByteArray file = writeBinaryPropertyList(PlistValue(items));
    // One array, 100 dictionaries, and the four distinct scalars.
    EXPECT_EQ(objectCountLowByte(file), 105);
    EXPECT_EQ(file.count("value"), 1);
    const auto back = readBinaryPropertyList(file);
    ASSERT_TRUE(back.ok()) << test::errorText(back.error());
    EXPECT_EQ(back.value(), PlistValue(items));
}

TEST(BinaryPlistWriter, SharedTextAndDataAreWrittenOnceWhereverTheyOccur) {
    // One block referred to from thousands of places, as a file's shared object
    // is read, and a second block of the same contents beside it.
    const QString text(20000, u'7');
    const QString sameText(20000, u'7');
    const QByteArray data(20000, '\x5A');
    const QByteArray sameData(20000, '\x5A');
    PlistArray items;
    for (int i = 0; i < 1000; ++i) {
        items.push_back(i % 2 ? text : sameText);
        items.push_back(i % 2 ? data : sameData);
    }
    const QByteArray file = writeBinaryPropertyList(PlistValue(items));
    EXPECT_EQ(file.count(QByteArray(20000, '7')), 1);
    EXPECT_EQ(file.count(data), 1);
    const auto back = readBinaryPropertyList(file);
    ASSERT_TRUE(back.ok()) << test::errorText(back.error());
    EXPECT_EQ(back.value(), PlistValue(items));
}

TEST(BinaryPlistWriter, AFileReadAndWrittenAgainComesOutByteForByte) {
    // The reader hands a text referred to twice out as two blocks of its own;
    // the file written from them must still share it as the first file did.
    const QString number = QString::number(12);
    const PlistArray items{dictionary({{u"number"_s, number}}), dictionary({{u"number"_s, number}})};
    const QByteArray file = writeBinaryPropertyList(PlistValue(items));
    EXPECT_EQ(file.count("12"), 1);
    const auto back = readBinaryPropertyList(file);
    ASSERT_TRUE(back.ok()) << test::errorText(back.error());
    EXPECT_EQ(writeBinaryPropertyList(back.value()), file);
}

TEST(BinaryPlistWriter, TrueAndOneAreDistinctObjects) {
    const PlistValue value = PlistArray{true, 1, 1.0, u"1"_s};
    const auto back = readBinaryPropertyList(writeBinaryPropertyList(value));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.value(), value);
}

TEST(BinaryPlistWriter, MoreThan256ObjectsUseTwoByteReferences) {
    PlistArray items;
    for (int i = 0; i < 300; ++i)
        items.push_back(i);
    const QByteArray file = writeBinaryPropertyList(PlistValue(items));
    EXPECT_EQ(referenceWidth(file), 2);
    const auto back = readBinaryPropertyList(file);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.value(), PlistValue(items));
}

TEST(BinaryPlistWriter, EveryKindReadsBackEqual) {
    PlistValue nested = PlistArray{};
    for (int i = 0; i < 60; ++i)
        nested = PlistArray{nested};
    const PlistValue value = dictionary({
        {u"bools"_s, PlistArray{true, false}},
        {u"integers"_s,
         PlistArray{0, -1, 255, 65535, std::numeric_limits<std::int64_t>::min(),
                    std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::uint64_t>::max()}},
        {u"reals"_s, PlistArray{0.1, -1e300, std::numeric_limits<double>::infinity(), 5e-324}},
        {u"date"_s, PlistDate{-1234.5}},
        {u"data"_s, PlistArray{QByteArray(), QByteArray(1000, '\xAB')}},
        {u"strings"_s, PlistArray{QString(), u"plain"_s,
                                  QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                                                    "e"),
                                  QString(70000, u'y')}},
        {u"empty"_s, PlistDictionary{}},
        {QString::fromUtf8("cl\xC3\xA9"), nested},
    });
    const auto back = readBinaryPropertyList(writeBinaryPropertyList(value));
    ASSERT_TRUE(back.ok()) << test::errorText(back.error());
    EXPECT_EQ(back.value(), value);
}

TEST(BinaryPlistWriter, ReproducesDictionaryKeyOrder) {
    const PlistValue value = dictionary({{u"zeta"_s, 1}, {u"alpha"_s, 2}, {u"mid"_s, 3}});
    const auto back = readBinaryPropertyList(writeBinaryPropertyList(value));
    ASSERT_TRUE(back.ok());
    const auto* d = back.value().get<PlistDictionary>();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->keyAt(0), u"zeta"_s);
    EXPECT_EQ(d->keyAt(1), u"alpha"_s);
    EXPECT_EQ(d->keyAt(2), u"mid"_s);
}

} // namespace
} // namespace pexlora
