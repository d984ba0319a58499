// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlistTestSupport.h"

#include <cmath>
#include <limits>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;
using test::dictionary;

TEST(PlistValue, NonNegativeUnsignedIntegersEqualTheSameSignedValue) {
    EXPECT_EQ(PlistValue(std::uint64_t(42)), PlistValue(std::int64_t(42)));
    EXPECT_TRUE(PlistValue(std::uint64_t(42)).is<std::int64_t>());
    EXPECT_TRUE(PlistValue(std::numeric_limits<std::uint64_t>::max()).is<std::uint64_t>());
    EXPECT_NE(PlistValue(std::numeric_limits<std::uint64_t>::max()), PlistValue(std::int64_t(-1)));
}

TEST(PlistValue, KindsNeverCompareEqualAcrossTypes) {
    EXPECT_NE(PlistValue(true), PlistValue(1));
    EXPECT_NE(PlistValue(1), PlistValue(1.0));
    EXPECT_NE(PlistValue(u"1"_s), PlistValue(QByteArray("1")));
    EXPECT_NE(PlistValue(PlistArray{}), PlistValue(PlistDictionary{}));
}

TEST(PlistValue, NaNRealDiffersFromItself) {
    const PlistValue nan(std::numeric_limits<double>::quiet_NaN());
    EXPECT_NE(nan, nan);
}

TEST(PlistValue, TypeNamesSuitMessages) {
    EXPECT_EQ(PlistValue(3).typeName(), u"integer"_s);
    EXPECT_EQ(PlistValue(u"x"_s).typeName(), u"string"_s);
    EXPECT_EQ(PlistValue(PlistDictionary{}).typeName(), u"dictionary"_s);
}

TEST(PlistDictionary, KeepsInsertionOrder) {
    const PlistDictionary d = dictionary({{u"z"_s, 1}, {u"a"_s, 2}, {u"m"_s, 3}});
    ASSERT_EQ(d.size(), 3);
    EXPECT_EQ(d.keyAt(0), u"z"_s);
    EXPECT_EQ(d.keyAt(1), u"a"_s);
    EXPECT_EQ(d.keyAt(2), u"m"_s);
}

TEST(PlistDictionary, RepeatedKeyKeepsItsPlaceAndTakesTheLastValue) {
    PlistDictionary d = dictionary({{u"a"_s, 1}, {u"b"_s, 2}});
    d.insert(u"a"_s, 3);
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d.keyAt(0), u"a"_s);
    EXPECT_EQ(d.valueAt(0), PlistValue(3));
}

TEST(PlistDictionary, EqualityIgnoresOrder) {
    EXPECT_EQ(dictionary({{u"a"_s, 1}, {u"b"_s, 2}}), dictionary({{u"b"_s, 2}, {u"a"_s, 1}}));
    EXPECT_NE(dictionary({{u"a"_s, 1}, {u"b"_s, 2}}), dictionary({{u"a"_s, 2}, {u"b"_s, 1}}));
    EXPECT_NE(dictionary({{u"a"_s, 1}}), dictionary({{u"a"_s, 1}, {u"b"_s, 2}}));
}

TEST(PlistDictionary, LargeDictionaryFindsEveryKeyAndReplacesInPlace) {
    PlistDictionary d;
    for (int i = 0; i < 1000; ++i)
        d.insert(QString::number(i), i);
    d.insert(u"500"_s, -1);
    ASSERT_EQ(d.size(), 1000);
    for (int i = 0; i < 1000; ++i) {
        const PlistValue* value = d.find(QString::number(i));
        ASSERT_NE(value, nullptr) << i;
        EXPECT_EQ(*value, PlistValue(i == 500 ? -1 : i));
    }
    EXPECT_EQ(d.find(u"1000"), nullptr);
    EXPECT_EQ(d.keyAt(500), u"500"_s);
}

TEST(PlistDictionary, CopyKeepsLookupOfLargeDictionary) {
    PlistDictionary d;
    for (int i = 0; i < 100; ++i)
        d.insert(QString::number(i), i);
    PlistDictionary copy = d;
    copy.insert(u"7"_s, 70);
    EXPECT_EQ(*copy.find(u"7"), PlistValue(70));
    EXPECT_EQ(*d.find(u"7"), PlistValue(7));
    EXPECT_EQ(copy.size(), 100);
}

} // namespace
} // namespace pexlora
