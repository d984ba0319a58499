// SPDX-License-Identifier: GPL-3.0-or-later
#include "plist/XmlPlistReader.h"

#include "PlistTestSupport.h"

#include <cmath>
#include <limits>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;
using test::dictionary;

QByteArray plist(const char* body) {
    return QByteArray(R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
)") + body +
           "\n</plist>\n";
}

Result<PlistValue, PlistError> read(const char* body) {
    return readXmlPropertyList(plist(body));
}

PlistError errorOf(const char* body) {
    const auto result = read(body);
    EXPECT_FALSE(result.ok()) << body;
    return result.ok() ? PlistError{PlistErrorKind::notPropertyList, {}} : result.error();
}

QByteArray nested(int levels) {
    return QByteArray("<array>").repeated(levels) + QByteArray("</array>").repeated(levels);
}

TEST(XmlPlistReader, ReadsEveryKind) {
    const auto result = read(R"(<dict>
  <key>string</key><string>a &amp; b &lt;c&gt;</string>
  <key>empty</key><string/>
  <key>int</key><integer>-42</integer>
  <key>hex</key><integer>0x1F</integer>
  <key>big</key><integer>18446744073709551615</integer>
  <key>real</key><real>2.5</real>
  <key>exponent</key><real>-1e-3</real>
  <key>yes</key><true/>
  <key>no</key><false/>
  <key>date</key><date>2001-01-01T00:01:00Z</date>
  <key>data</key><data>
    AAEC
    /w==
  </data>
  <key>list</key><array><integer>1</integer><array/><dict/></array>
</dict>)");
    ASSERT_TRUE(result.ok()) << test::errorText(result.error());
    const PlistValue expected = dictionary({
        {u"string"_s, u"a & b <c>"_s},
        {u"empty"_s, QString()},
        {u"int"_s, -42},
        {u"hex"_s, 31},
        {u"big"_s, std::numeric_limits<std::uint64_t>::max()},
        {u"real"_s, 2.5},
        {u"exponent"_s, -0.001},
        {u"yes"_s, true},
        {u"no"_s, false},
        {u"date"_s, PlistDate{60.0}},
        {u"data"_s, QByteArray("\x00\x01\x02\xFF", 4)},
        {u"list"_s, PlistArray{1, PlistArray{}, PlistDictionary{}}},
    });
    EXPECT_EQ(result.value(), expected);
}

TEST(XmlPlistReader, KeepsKeyOrderOfTheFile) {
    const auto result = read("<dict><key>b</key><integer>1</integer><key>a</key><integer>2</integer></dict>");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.value().get<PlistDictionary>()->keyAt(0), u"b"_s);
}

TEST(XmlPlistReader, ReadsNonFiniteRealsAsPythonWritesThem) {
    const auto result =
        read("<array><real>nan</real><real>inf</real><real>-inf</real><real>+Infinity</real></array>");
    ASSERT_TRUE(result.ok());
    const auto& items = *result.value().get<PlistArray>();
    EXPECT_TRUE(std::isnan(*items[0].get<double>()));
    EXPECT_EQ(*items[1].get<double>(), std::numeric_limits<double>::infinity());
    EXPECT_EQ(*items[2].get<double>(), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(*items[3].get<double>(), std::numeric_limits<double>::infinity());
}

TEST(XmlPlistReader, CommentsAndProcessingInstructionsBetweenValuesAreIgnored) {
    const auto result = read("<!-- a --><array><?pi x?><integer>1</integer><!-- b --></array>");
    ASSERT_TRUE(result.ok()) << test::errorText(result.error());
    EXPECT_EQ(result.value(), PlistValue(PlistArray{1}));
}

TEST(XmlPlistReader, IntegerTextsThatAreNoIntegersAreRefused) {
    for (const char* text : {"12a", "", "1.5", "18446744073709551616", "-9223372036854775809", "0x"}) {
        const QByteArray body = QByteArray("<integer>") + text + "</integer>";
        const PlistError error = errorOf(body.constData());
        EXPECT_EQ(error.kind, PlistErrorKind::malformed) << text;
        EXPECT_TRUE(error.message.contains(u"is not a 64-bit integer"_s)) << test::errorText(error);
    }
}

TEST(XmlPlistReader, SmallestSignedIntegerReads) {
    const auto result = read("<integer>-9223372036854775808</integer>");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.value(), PlistValue(std::numeric_limits<std::int64_t>::min()));
}

TEST(XmlPlistReader, RealTextThatIsNoNumberIsRefused) {
    EXPECT_EQ(errorOf("<real>one</real>").message, u"“one” is not a real number at line 4"_s);
}

TEST(XmlPlistReader, BadBase64IsRefused) {
    EXPECT_TRUE(errorOf("<data>!!!</data>").message.startsWith(u"<data> is not valid base64"_s));
}

TEST(XmlPlistReader, BadDateIsRefused) {
    EXPECT_TRUE(errorOf("<date>yesterday</date>").message.startsWith(u"“yesterday” is not a date"_s));
}

TEST(XmlPlistReader, KeyWithoutValueIsRefused) {
    EXPECT_TRUE(
        errorOf("<dict><key>lonely</key></dict>").message.startsWith(u"the key “lonely” has no value"_s));
}

TEST(XmlPlistReader, ValueWithoutKeyIsRefused) {
    EXPECT_TRUE(errorOf("<dict><string>x</string></dict>")
                    .message.startsWith(u"a dictionary holds <string> where a <key> belongs"_s));
}

TEST(XmlPlistReader, KeyOutsideDictionaryIsRefused) {
    EXPECT_TRUE(
        errorOf("<array><key>x</key></array>").message.startsWith(u"a <key> stands outside a dictionary"_s));
}

TEST(XmlPlistReader, UnknownElementIsRefused) {
    EXPECT_TRUE(errorOf("<set/>").message.startsWith(u"<set> is not a property-list element"_s));
}

TEST(XmlPlistReader, ElementInsideAStringIsRefused) {
    EXPECT_EQ(errorOf("<string>a<b/></string>").kind, PlistErrorKind::malformed);
}

TEST(XmlPlistReader, TwoTopLevelValuesAreRefused) {
    EXPECT_TRUE(
        errorOf("<true/><false/>").message.startsWith(u"the property list holds more than one value"_s));
}

TEST(XmlPlistReader, EmptyPlistIsRefused) {
    EXPECT_TRUE(errorOf("").message.startsWith(u"the property list holds no value"_s));
}

TEST(XmlPlistReader, StrayTextIsRefused) {
    EXPECT_TRUE(errorOf("<array>words<true/></array>").message.startsWith(u"text stands outside a value"_s));
}

TEST(XmlPlistReader, OtherXmlIsNotAPropertyList) {
    const auto result = readXmlPropertyList("<html><body/></html>");
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, PlistErrorKind::notPropertyList);
}

TEST(XmlPlistReader, EncodingsOtherThanUnicodeOrLatin1AreRefused) {
    const auto result = readXmlPropertyList(R"(<?xml version="1.0" encoding="UTF-7"?>
<plist version="1.0"><string>+AGEAYgBj-</string></plist>)");
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, PlistErrorKind::unsupported);
    EXPECT_EQ(result.error().message, u"the XML is in the encoding “UTF-7”, not UTF-8 or UTF-16"_s);
}

TEST(XmlPlistReader, DeclaredUtf8AndLatin1Read) {
    for (const char* encoding : {"utf-8", "ISO-8859-1"}) {
        const QByteArray file = QByteArray("<?xml version=\"1.0\" encoding=\"") + encoding +
                                "\"?><plist><string>a</string></plist>";
        const auto result = readXmlPropertyList(file);
        ASSERT_TRUE(result.ok()) << encoding << ": " << test::errorText(result.error());
        EXPECT_EQ(result.value(), PlistValue(u"a"_s));
    }
}

TEST(XmlPlistReader, NestingOfSixtyFourLevelsReads) {
    EXPECT_TRUE(readXmlPropertyList(plist(nested(64).constData())).ok());
}

TEST(XmlPlistReader, NestingBeyondSixtyFourLevelsIsRefused) {
    const auto result = readXmlPropertyList(plist(nested(65).constData()));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, PlistErrorKind::tooDeep);
}

TEST(XmlPlistReader, ThreeHundredThousandLevelsAreRefusedWithoutCrashing) {
    const auto result = readXmlPropertyList(plist(nested(300000).constData()));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, PlistErrorKind::tooDeep);
}

TEST(XmlPlistReader, EveryTruncationOfAValidFileIsRefused) {
    const QByteArray file =
        plist("<dict><key>a</key><array><integer>1</integer><string>x</string></array></dict>");
    ASSERT_TRUE(readXmlPropertyList(file).ok());
    for (qsizetype size = 0; size < file.lastIndexOf("</plist>") + 8; ++size)
        EXPECT_FALSE(readXmlPropertyList(file.first(size)).ok()) << "truncated to " << size;
}

TEST(XmlPlistReader, Utf16DocumentReads) {
    const QString text = QString::fromUtf8(plist("<string>Gr\xC3\xBC\xC3\x9F"
                                                 "e</string>"))
                             .replace(u"UTF-8"_s, u"UTF-16"_s);
    QByteArray utf16("\xFE\xFF");
    for (const QChar c : text) {
        utf16.append(char(c.unicode() >> 8));
        utf16.append(char(c.unicode() & 0xFF));
    }
    const auto result = readXmlPropertyList(utf16);
    ASSERT_TRUE(result.ok()) << test::errorText(result.error());
    EXPECT_EQ(result.value(), PlistValue(QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                                                           "e")));
}

} // namespace
} // namespace pexlora
