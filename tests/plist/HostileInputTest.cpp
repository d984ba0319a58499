// SPDX-License-Identifier: GPL-3.0-or-later
// Small files built to take a reader's time or memory: each must be read, or
// refused with its message, without multiplying what the file holds.
#include "PlistTestSupport.h"
#include "plist/PropertyList.h"
#include "plist/ReadBudget.h"

#include <QSet>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;
using test::RawPlist;

constexpr int mebibyte = 1024 * 1024;

// A marker with its count: in the low nibble, or as a following integer.
QByteArray counted(int type, qsizetype count) {
    if (count < 15)
        return QByteArray(1, char(type | int(count)));
    QByteArray out(1, char(type | 0x0F));
    out.append(char(0x12));
    RawPlist::appendBigEndian(out, std::uint64_t(count), 4);
    return out;
}

// An array referring `times` times to the one object `leaf`.
QByteArray sharedLeaf(const QByteArray& leaf, int times) {
    RawPlist raw;
    raw.offsetWidth = 4;
    raw.objects = {counted(0xA0, times) + raw.ref(1).repeated(times), leaf};
    return raw.bytes();
}

// A layout whose cells all name one long number text as their "numberString".
QByteArray cellsSharingOneNumber(int cells, int digits) {
    RawPlist raw;
    raw.offsetWidth = 4;
    raw.refWidth = 2;
    const char* keys[] = {"elements",        "zoomScale", "panOffsetWidth",
                          "panOffsetHeight", "id",        "position",
                          "numberString",    "col",       "row"};
    for (const char* key : keys)
        raw.objects.push_back(counted(0x50, qsizetype(qstrlen(key))) + key);
    const std::uint64_t number = raw.objects.size();
    raw.objects.push_back(counted(0x50, digits) + QByteArray(digits, '7'));
    const std::uint64_t zero = raw.objects.size();
    raw.objects.push_back(test::bytes({0x10, 0x00}));
    QByteArray elements = counted(0xA0, cells);
    for (int i = 0; i < cells; ++i) {
        const auto col = std::uint64_t(raw.objects.size());
        raw.objects.push_back(test::bytes({0x11, i >> 8, i & 0xFF}));
        raw.objects.push_back(test::bytes({0xD2}) + raw.ref(7) + raw.ref(8) + raw.ref(col) + raw.ref(zero));
        const QByteArray id = u"00000000-0000-0000-0000-%1"_s.arg(i, 12, 10, QChar(u'0')).toLatin1();
        raw.objects.push_back(counted(0x50, id.size()) + id);
        raw.objects.push_back(test::bytes({0xD3}) + raw.ref(4) + raw.ref(5) + raw.ref(6) + raw.ref(col + 2) +
                              raw.ref(col + 1) + raw.ref(number));
        elements.append(raw.ref(col + 3));
    }
    raw.topObject = raw.objects.size();
    raw.objects.push_back(test::bytes({0xD4}) + raw.ref(0) + raw.ref(1) + raw.ref(2) + raw.ref(3) +
                          raw.ref(raw.topObject + 1) + raw.ref(zero) + raw.ref(zero) + raw.ref(zero));
    raw.objects.push_back(elements);
    return raw.bytes();
}

QByteArray xml(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body + "</plist>\n";
}

QByteArray manyAttributes(int count) {
    QByteArray tag = "<plist";
    for (int i = 0; i < count; ++i)
        tag += " a" + QByteArray::number(i) + "=\"\"";
    return tag + "><string/></plist>";
}

QByteArray utf16(const QByteArray& text, bool bigEndian) {
    QByteArray out;
    for (const char c : text) {
        out.append(bigEndian ? '\0' : c);
        out.append(bigEndian ? c : '\0');
    }
    return out;
}

// Texts and data of at least a kilobyte, counted by the memory block they use.
void collectLongBlocks(const PlistValue& value, QSet<const void*>& blocks) {
    if (const auto* text = value.get<QString>(); text && text->size() >= 1024)
        blocks.insert(text->constData());
    if (const auto* data = value.get<QByteArray>(); data && data->size() >= 1024)
        blocks.insert(data->constData());
    if (const auto* array = value.get<PlistArray>()) {
        for (const PlistValue& item : *array)
            collectLongBlocks(item, blocks);
    }
    if (const auto* dictionary = value.get<PlistDictionary>()) {
        for (qsizetype i = 0; i < dictionary->size(); ++i)
            collectLongBlocks(dictionary->valueAt(i), blocks);
    }
}

struct HostileCase {
    const char* name;
    QByteArray bytes;
    // Empty when the file must be read; else the start of the refusal.
    QString refusal;
    PlistErrorKind kind = PlistErrorKind::unsupported;
};

TEST(HostileInput, EachFileIsReadOnceOrRefusedWithItsReason) {
    const QByteArray mebibyteText(mebibyte, 'x');
    QByteArray utf16Text = counted(0x60, mebibyte / 2);
    utf16Text.append(utf16(QByteArray(mebibyte / 2, 'u'), true));
    const QByteArray entity = "<!DOCTYPE plist [<!ENTITY e \"" + QByteArray(4000, 'e') + "\">]>";
    // Big-endian up to the declaration, then what the machine's own order would read as markup.
    const QByteArray otherByteOrder =
        utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?>", true) + utf16(manyAttributes(100000), false);
    const HostileCase cases[] = {
        {"one 1 MiB string referred to 3,000 times",
         sharedLeaf(counted(0x50, mebibyte) + mebibyteText, 3000),
         {}},
        {"one 1 MiB data object referred to 3,000 times",
         sharedLeaf(counted(0x40, mebibyte) + mebibyteText, 3000),
         {}},
        {"one 1 MiB UTF-16 string referred to 3,000 times", sharedLeaf(utf16Text, 3000), {}},
        {"one 100 kB string referred to 5,000 times",
         sharedLeaf(counted(0x50, 100000) + QByteArray(100000, 'y'), 5000),
         {}},
        {"2,000 cells sharing one 500,000-character number", cellsSharingOneNumber(2000, 500000), {}},
        {"a document type inside <real>, its entity read as the value",
         xml("<real><!DOCTYPE plist [<!ENTITY z \"2.5\">]>&z;</real>"),
         u"the XML refers to the entity “z”, which is not one of the five predefined"_s},
        {"a 4,000-character entity referred to 60,000 times",
         xml("<string>" + entity + QByteArray("&e;").repeated(60000) + "</string>"),
         u"the XML refers to the entity “e”"_s},
        {"entities declared before <plist>",
         "<!DOCTYPE plist [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;\">]><plist><string>&b;</string></plist>",
         u"the XML refers to the entity “a”"_s},
        {"an undeclared entity in a string", xml("<string>&nope;</string>"),
         u"the XML refers to the entity “nope”"_s},
        {"an entity in an attribute, which the parser would drop",
         "<!DOCTYPE plist SYSTEM \"plist.dtd\"><plist version=\"&v;\"><true/></plist>",
         u"the XML refers to the entity “v”"_s},
        {"declarations without references", "<!DOCTYPE plist [<!ELEMENT plist ANY>]><plist><true/></plist>",
         u"the XML declares a document type of its own"_s},
        {"a bare document type inside the property list", xml("<array><!DOCTYPE plist><true/></array>"),
         u"a document type declaration stands inside the property list"_s, PlistErrorKind::malformed},
        {"the five predefined entities and character references",
         xml("<string>&amp;&lt;&gt;&quot;&apos;&#65;&#x42;</string>"),
         {}},
        {"100,000 attributes on <plist>", manyAttributes(100000),
         u"an element of the XML has more than 8 attributes"_s},
        {"eight attributes on <plist>", manyAttributes(8), {}},
        {"nine attributes on <plist>", manyAttributes(9),
         u"an element of the XML has more than 8 attributes"_s},
        {"UTF-8 bytes declaring UTF-16", "<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist><true/></plist>",
         u"the XML declares the encoding “UTF-16” but is written in another"_s, PlistErrorKind::malformed},
        {"attributes in the other byte order behind a bare UTF-16 declaration", otherByteOrder,
         u"the XML declares the encoding “UTF-16” but is written in another"_s, PlistErrorKind::malformed},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = readPropertyList(c.bytes);
        if (c.refusal.isEmpty()) {
            ASSERT_TRUE(result.ok()) << test::errorText(result.error());
            QSet<const void*> blocks;
            collectLongBlocks(result.value(), blocks);
            // Once for the first reference, once for all the others.
            EXPECT_LE(blocks.size(), 2) << "a shared object was decoded for each reference";
        } else {
            ASSERT_FALSE(result.ok());
            EXPECT_EQ(result.error().kind, c.kind);
            EXPECT_TRUE(result.error().message.startsWith(c.refusal)) << test::errorText(result.error());
        }
    }
}

TEST(HostileInput, BytesBeyondEightTimesTheFilePlus64MiBAreRefused) {
    ReadBudget budget(1000, plistLimits::maxNodes, u"unused"_s);
    ASSERT_TRUE(budget.takeBytes(8 * 1000 + 64 * mebibyte).ok());
    const auto result = budget.takeBytes(1);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, PlistErrorKind::tooMuchMemory);
    EXPECT_EQ(result.error().message, u"the file's values would take more than 64 MiB of memory"_s);

    ReadBudget large(plistLimits::maxFileSize, plistLimits::maxNodes, u"unused"_s);
    EXPECT_FALSE(large.takeBytes(plistLimits::maxMaterialisedBytes + 1).ok());
}

} // namespace
} // namespace pexlora
