// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/PersistedState.h"

#include "DocumentTestSupport.h"
#include "plist/BinaryPlistWriter.h"
#include "plist/PropertyList.h"

#include <cmath>
#include <limits>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;
using test::plistDictionary;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

PlistValue elementPlist(const QString& id, PlistValue col, PlistValue row, PlistValue number = u"1"_s) {
    return plistDictionary(
        {{u"id"_s, id},
         {u"position"_s, plistDictionary({{u"col"_s, std::move(col)}, {u"row"_s, std::move(row)}})},
         {u"numberString"_s, std::move(number)}});
}

QString uuidText(int n) {
    return u"00000000-0000-4000-8000-%1"_s.arg(n, 12, 10, QChar(u'0'));
}

PlistDictionary documentPlist(PlistArray elements, PlistValue zoom = 1.0, PlistValue width = 0.0,
                              PlistValue height = 0.0) {
    return plistDictionary({{u"elements"_s, std::move(elements)},
                            {u"zoomScale"_s, std::move(zoom)},
                            {u"panOffsetWidth"_s, std::move(width)},
                            {u"panOffsetHeight"_s, std::move(height)}});
}

Result<PersistedState, DocumentError> decode(const PlistDictionary& document) {
    return decodePersistedState(writeBinaryPropertyList(document));
}

// The message of a decode that must fail.
QString refusal(const QByteArray& bytes) {
    const auto result = decodePersistedState(bytes);
    EXPECT_FALSE(result.ok());
    return result.ok() ? QString() : result.error().message;
}

QString refusal(const PlistDictionary& document) {
    return refusal(writeBinaryPropertyList(document));
}

TEST(PersistedState, RoundTripKeepsElementsInOrderWithZoomAndPan) {
    const PersistedState state = test::sampleState();
    const auto back = decodePersistedState(encodePersistedState(state));
    ASSERT_TRUE(back.ok()) << back.error().message.toStdString();
    EXPECT_EQ(back.value(), state);
}

TEST(PersistedState, EncodingIsABinaryPropertyList) {
    EXPECT_TRUE(encodePersistedState({}).startsWith("bplist00"));
}

TEST(PersistedState, EmptyDocumentWritesExactlyTheFourKeys) {
    const auto plist = readPropertyList(encodePersistedState(PersistedState{}));
    ASSERT_TRUE(plist.ok());
    EXPECT_EQ(plist.value(), PlistValue(documentPlist({}, 1.0, 0.0, 0.0)));
    // And as an independent reader sees it, with the types of each key.
    const QByteArray seen = test::python(R"(
import plistlib, sys
d = plistlib.loads(sys.stdin.buffer.read())
print(sorted((k, type(v).__name__, v) for k, v in d.items()))
)",
                                            encodePersistedState(PersistedState{}));
    EXPECT_EQ(seen.trimmed(), QByteArray("[('elements', 'list', []), ('panOffsetHeight', 'float', 0.0), "
                                         "('panOffsetWidth', 'float', 0.0), ('zoomScale', 'float', 1.0)]"));
}

TEST(PersistedState, PlistlibReadsElementsWithUpperCaseIds) {
    PersistedState state;
    state.elements = {{QUuid::fromString(u"6f1c0b52-3a43-4a8e-9d0c-0f2a5e7b9c11"_s), {-3, 7}, u"12.5"_s}};
    const QByteArray seen = test::python(R"(
import plistlib, sys
e = plistlib.loads(sys.stdin.buffer.read())["elements"][0]
print(e["id"], e["position"]["col"], e["position"]["row"], e["numberString"], sorted(e), sorted(e["position"]))
)",
                                            encodePersistedState(state));
    EXPECT_EQ(seen.trimmed(), QByteArray("6F1C0B52-3A43-4A8E-9D0C-0F2A5E7B9C11 -3 7 12.5 "
                                         "['id', 'numberString', 'position'] ['col', 'row']"));
}

// What another program may write: keys in other orders, extra keys, lower-case
// ids, negative positions and number texts no user could type.
constexpr const char* foreignDocument = R"(
import plistlib, sys
doc = {
    "panOffsetHeight": -12.5, "comment": "written elsewhere", "zoomScale": 0.5,
    "elements": [
        {"numberString": "abc", "extra": [1, 2], "position": {"row": -4, "col": -9, "z": 1},
         "id": "6f1c0b52-3a43-4a8e-9d0c-0f2a5e7b9c11"},
        {"position": {"col": 3, "row": 0}, "id": "A0000000-0000-4000-8000-000000000002", "numberString": "12345"},
    ],
    "panOffsetWidth": 40.0,
}
sys.stdout.buffer.write(plistlib.dumps(doc, fmt=getattr(plistlib, sys.argv[1]), sort_keys=False))
)";

PersistedState foreignState() {
    PersistedState state;
    state.elements = {{QUuid::fromString(u"6f1c0b52-3a43-4a8e-9d0c-0f2a5e7b9c11"_s), {-9, -4}, u"abc"_s},
                      {QUuid::fromString(u"a0000000-0000-4000-8000-000000000002"_s), {3, 0}, u"12345"_s}};
    state.zoomScale = 0.5;
    state.panOffsetWidth = 40.0;
    state.panOffsetHeight = -12.5;
    return state;
}

QByteArray pythonWritesForeignDocument(const char* format) {
    const std::string script =
        std::string("import sys; sys.argv = ['', '") + format + "']\n" + foreignDocument;
    return test::python(script.c_str());
}

TEST(PersistedState, BinaryFileFromPlistlibWithOtherOrderAndExtraKeysDecodes) {
    const auto state = decodePersistedState(pythonWritesForeignDocument("FMT_BINARY"));
    ASSERT_TRUE(state.ok()) << state.error().message.toStdString();
    EXPECT_EQ(state.value(), foreignState());
}

TEST(PersistedState, XmlFileFromPlistlibDecodes) {
    const QByteArray xml = pythonWritesForeignDocument("FMT_XML");
    ASSERT_TRUE(xml.contains("<plist"));
    const auto state = decodePersistedState(xml);
    ASSERT_TRUE(state.ok()) << state.error().message.toStdString();
    EXPECT_EQ(state.value(), foreignState());
}

TEST(PersistedState, MissingPanOffsetHeightIsRefused) {
    PlistDictionary document = documentPlist({});
    PlistDictionary without;
    for (qsizetype i = 0; i < document.size(); ++i) {
        if (document.keyAt(i) != u"panOffsetHeight"_s)
            without.insert(document.keyAt(i), document.valueAt(i));
    }
    EXPECT_EQ(refusal(without), u"the document has no “panOffsetHeight”"_s);
}

TEST(PersistedState, MissingElementKeyNamesTheElementIndex) {
    PlistArray elements;
    for (int i = 0; i < 3; ++i)
        elements.push_back(elementPlist(uuidText(i), i, 0));
    elements.push_back(plistDictionary(
        {{u"position"_s, plistDictionary({{u"col"_s, 9}, {u"row"_s, 9}})}, {u"numberString"_s, u"4"_s}}));
    EXPECT_EQ(refusal(documentPlist(elements)), u"the element at index 3 has no “id”"_s);
}

TEST(PersistedState, IdsThatAreNoUuidAreRefused) {
    for (const QString& id :
         {u"{6F1C0B52-3A43-4A8E-9D0C-0F2A5E7B9C11}"_s, u"6F1C0B523A434A8E9D0C0F2A5E7B9C11"_s,
          u"6F1C0B52-3A43-4A8E-9D0C-0F2A5E7B9C1"_s, u"6F1C0B52-3A43-4A8E-9D0C-0F2A5E7B9C1G"_s,
          u"6F1C0B52-3A434-A8E-9D0C-0F2A5E7B9C11"_s, u"channel 1"_s, QString()}) {
        const QString message = refusal(documentPlist({elementPlist(id, 0, 0)}));
        EXPECT_TRUE(message.startsWith(u"the “id” of the element at index 0 is not a UUID"_s))
            << message.toStdString();
    }
}

TEST(PersistedState, TwoElementsOnOnePositionAreRefusedNamingIt) {
    const PlistArray elements{elementPlist(uuidText(1), 4, 7), elementPlist(uuidText(2), 1, 1),
                              elementPlist(uuidText(3), 4, 7)};
    EXPECT_EQ(refusal(documentPlist(elements)),
              u"the elements at index 0 and 2 are both at column 4, row 7"_s);
}

TEST(PersistedState, RepeatedIdsAreKeptAsStored) {
    const auto state =
        decode(documentPlist({elementPlist(uuidText(1), 0, 0), elementPlist(uuidText(1), 1, 0)}));
    ASSERT_TRUE(state.ok());
    ASSERT_EQ(state.value().elements.size(), 2u);
    EXPECT_EQ(state.value().elements[0].id, state.value().elements[1].id);
}

TEST(PersistedState, ValuesOfTheWrongTypeAreRefusedWithTheirPlace) {
    const QString id = uuidText(1);
    const std::pair<PlistDictionary, QString> cases[] = {
        {documentPlist({}, u"2"_s), u"“zoomScale” is not a number"_s},
        {documentPlist({}, 1.0, true), u"“panOffsetWidth” is not a number"_s},
        {plistDictionary({{u"elements"_s, PlistDictionary{}},
                          {u"zoomScale"_s, 1.0},
                          {u"panOffsetWidth"_s, 0.0},
                          {u"panOffsetHeight"_s, 0.0}}),
         u"“elements” is not an array"_s},
        {documentPlist({u"cell"_s}), u"the element at index 0 is not a dictionary"_s},
        {documentPlist({elementPlist(id, 1.5, 0)}),
         u"the “col” of the element at index 0 is not an integer"_s},
        {documentPlist({elementPlist(id, 0, u"2"_s)}),
         u"the “row” of the element at index 0 is not an integer"_s},
        {documentPlist({elementPlist(id, 0, std::numeric_limits<std::uint64_t>::max())}),
         u"the “row” of the element at index 0 is out of range"_s},
        {documentPlist({elementPlist(id, 0, 0, 7)}),
         u"the “numberString” of the element at index 0 is not a string"_s},
        {documentPlist({plistDictionary(
             {{u"id"_s, 5}, {u"position"_s, PlistDictionary{}}, {u"numberString"_s, u"1"_s}})}),
         u"the “id” of the element at index 0 is not a string"_s},
        {documentPlist({plistDictionary(
             {{u"id"_s, id}, {u"position"_s, PlistArray{1, 2}}, {u"numberString"_s, u"1"_s}})}),
         u"the “position” of the element at index 0 is not a dictionary"_s},
        {documentPlist({plistDictionary({{u"id"_s, id},
                                         {u"position"_s, plistDictionary({{u"col"_s, 1}})},
                                         {u"numberString"_s, u"1"_s}})}),
         u"the “position” of the element at index 0 has no “row”"_s},
    };
    for (const auto& [document, message] : cases)
        EXPECT_EQ(refusal(document), message);
}

TEST(PersistedState, NumbersCrossBetweenIntegerAndRealWhenExact) {
    const auto state = decode(documentPlist({elementPlist(uuidText(1), 3.0, -2.0)}, 2, -5, 7));
    ASSERT_TRUE(state.ok()) << state.error().message.toStdString();
    EXPECT_EQ(state.value().elements[0].position, (GridPosition{3, -2}));
    EXPECT_EQ(state.value().zoomScale, 2.0);
    EXPECT_EQ(state.value().panOffsetWidth, -5.0);
    EXPECT_EQ(state.value().panOffsetHeight, 7.0);
}

TEST(PersistedState, ExtremeCoordinatesAreKept) {
    const auto lowest = std::numeric_limits<std::int64_t>::min();
    const auto highest = std::numeric_limits<std::int64_t>::max();
    const auto state = decode(documentPlist({elementPlist(uuidText(1), lowest, highest)}));
    ASSERT_TRUE(state.ok());
    EXPECT_EQ(state.value().elements[0].position, (GridPosition{lowest, highest}));
}

struct ZoomCase {
    double stored;
    double opened;
};

TEST(PersistedState, ZoomOutsideItsRangeIsRepairedAndInsideKeptExactly) {
    const ZoomCase cases[] = {{nan, 1.0},  {infinity, 1.0}, {-infinity, 1.0}, {0.0, 1.0},   {-2.0, 1.0},
                              {0.05, 0.1}, {1e300, 10.0},   {0.1, 0.1},       {10.0, 10.0}, {3.7, 3.7}};
    for (const auto& [stored, opened] : cases) {
        const auto state = decode(documentPlist({}, stored));
        ASSERT_TRUE(state.ok());
        EXPECT_EQ(state.value().zoomScale, opened) << "stored " << stored;
    }
}

TEST(PersistedState, PanOutsideItsRangeIsRepairedAndInsideKeptExactly) {
    const ZoomCase cases[] = {{nan, 0.0},    {infinity, 0.0},  {-infinity, 0.0}, {2e9, 1e9},
                              {-5e12, -1e9}, {123.25, 123.25}, {-1e9, -1e9},     {0.1, 0.1}};
    for (const auto& [stored, opened] : cases) {
        const auto state = decode(documentPlist({}, 1.0, stored, stored));
        ASSERT_TRUE(state.ok());
        EXPECT_EQ(state.value().panOffsetWidth, opened) << "stored " << stored;
        EXPECT_EQ(state.value().panOffsetHeight, opened) << "stored " << stored;
    }
}

TEST(PersistedState, BytesThatAreNoPropertyListAreNotADocument) {
    EXPECT_EQ(refusal("GIF89a"), u"not a Pexlora document: the file is not a property list"_s);
}

TEST(PersistedState, PropertyListOfAnotherShapeIsNotADocument) {
    EXPECT_EQ(refusal(writeBinaryPropertyList(PlistArray{1, 2})),
              u"not a Pexlora document: the file holds no dictionary"_s);
}

TEST(PersistedState, DamagedFileSaysSo) {
    QByteArray file = encodePersistedState(test::sampleState());
    file.chop(1);
    EXPECT_TRUE(refusal(file).startsWith(u"the file is damaged: "_s));
}

TEST(PersistedState, EveryTruncationIsRefusedWithAMessage) {
    const QByteArray file = encodePersistedState(test::sampleState());
    for (qsizetype size = 0; size < file.size(); ++size) {
        const auto result = decodePersistedState(file.first(size));
        ASSERT_FALSE(result.ok()) << "truncated to " << size;
        EXPECT_FALSE(result.error().message.isEmpty());
    }
}

TEST(PersistedState, FileOver256MiBIsRefused) {
    const QByteArray huge(256 * 1024 * 1024 + 1, Qt::Uninitialized);
    EXPECT_EQ(refusal(huge), u"the file is larger than 256 MiB"_s);
}

} // namespace
} // namespace pexlora
