// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/GridElement.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace pexlora;

TEST(GridPosition, ComparesAndHashesByColumnThenRow) {
    EXPECT_EQ((GridPosition{3, 4}), (GridPosition{3, 4}));
    EXPECT_NE((GridPosition{3, 4}), (GridPosition{4, 3}));
    QHash<GridPosition, int> map;
    map.insert({3, 4}, 1);
    map.insert({4, 3}, 2);
    EXPECT_EQ(map.size(), 2);
    EXPECT_EQ(map.value({3, 4}), 1);
    EXPECT_EQ(map.value({4, 3}), 2);
}

TEST(GridElement, EqualOnlyWhenIdPositionAndNumberAllMatch) {
    const QUuid id = QUuid::createUuid();
    const GridElement a{id, {1, 2}, QStringLiteral("5")};
    EXPECT_EQ(a, (GridElement{id, {1, 2}, QStringLiteral("5")}));
    EXPECT_NE(a, (GridElement{id, {1, 2}, QStringLiteral("6")}));
    EXPECT_NE(a, (GridElement{id, {2, 1}, QStringLiteral("5")}));
    EXPECT_NE(a, (GridElement{QUuid::createUuid(), {1, 2}, QStringLiteral("5")}));
}

struct NumberTextCase {
    const char16_t* text;
    bool valid;
};

class NumberText : public testing::TestWithParam<NumberTextCase> {};

TEST_P(NumberText, FollowsTheOneToFourDigitsRule) {
    const QString text = QString::fromUtf16(GetParam().text);
    EXPECT_EQ(isValidNumberString(text), GetParam().valid) << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumberText,
    testing::Values(NumberTextCase{u"1", true}, NumberTextCase{u"42", true}, NumberTextCase{u"9999", true},
                    NumberTextCase{u"0012", true}, NumberTextCase{u"12.5", true},
                    NumberTextCase{u"1.1234", true}, NumberTextCase{u"", false},
                    NumberTextCase{u"12345", false}, NumberTextCase{u"1.", false},
                    NumberTextCase{u"12.", false}, NumberTextCase{u".5", false},
                    NumberTextCase{u"1.2.3", false}, NumberTextCase{u"1..2", false},
                    NumberTextCase{u"1a", false}, NumberTextCase{u"-1", false}, NumberTextCase{u"+1", false},
                    NumberTextCase{u" 1", false}, NumberTextCase{u"1.12345", false},
                    NumberTextCase{u".", false},
                    // Full-width, Arabic-Indic and CJK numerals are number characters too.
                    NumberTextCase{u"\uFF11\uFF12", true}, NumberTextCase{u"\u0661\u0662.\u0663", true},
                    NumberTextCase{u"\u4E00\u4E8C", true}, NumberTextCase{u"\u00BD", true},
                    // Mathematical bold digit one: a number outside the basic plane.
                    NumberTextCase{u"\U0001D7CF", true},
                    // A digit with a combining mark is one user-perceived character.
                    NumberTextCase{u"1\u03012\u03013\u03014\u0301", true},
                    NumberTextCase{u"1\u03012\u03013\u03014\u03015", false},
                    // Marks of Indic, Thai and Southeast Asian scripts, spacing or not,
                    // join the digit before them into one character.
                    NumberTextCase{u"\u0967\u0301", true}, NumberTextCase{u"1\u094D", true},
                    NumberTextCase{u"1\u0E31", true}, NumberTextCase{u"1\u0903.2\u0903", true},
                    NumberTextCase{u"\u0E51\u0E31\u0E52\u0E31\u0E53\u0E31\u0E54\u0E31", true},
                    NumberTextCase{u"\u17E1\u17B6\u17E2", true}, NumberTextCase{u"\u0BE7\u0BCD", true},
                    NumberTextCase{u"\u1041\u103A\u1042\u1036", true},
                    // ...but Myanmar's tall AA is a character of its own, and no digit.
                    NumberTextCase{u"\u1041\u102B", false},
                    NumberTextCase{u"1\u0903" u"2\u0903" u"3\u0903" u"4\u0903" u"5\u0903", false},
                    // A combining mark on its own starts with no number code point.
                    NumberTextCase{u"\u0301", false}, NumberTextCase{u"\uFF41", false}));

struct IntegerCase {
    const char* text;
    std::optional<std::int64_t> value;
};

TEST(IntegerValue, ReadsSignedAsciiDecimalsOnly) {
    const IntegerCase cases[] = {
        {"7", 7},
        {"007", 7},
        {"+3", 3},
        {"-2", -2},
        {"0", 0},
        {"-0", 0},
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"9223372036854775808", std::nullopt},
        {"-9223372036854775809", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"1.5", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {" 4", std::nullopt},
        {"4 ", std::nullopt},
        {"12a", std::nullopt},
        {"+-1", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(integerValue(QString::fromUtf8(c.text)), c.value) << c.text;
    EXPECT_EQ(integerValue(QStringLiteral("\uFF17")), std::nullopt) << "full-width digits are not ASCII";
}

GridElements numbered(std::initializer_list<const char*> numbers) {
    GridElements elements;
    std::int64_t col = 0;
    for (const char* number : numbers)
        elements.push_back({QUuid::createUuid(), {col++, 0}, QString::fromUtf8(number)});
    return elements;
}

TEST(NextFreeNumber, FillsTheSmallestGapFromOne) {
    EXPECT_EQ(nextFreeNumber({}), QStringLiteral("1"));
    EXPECT_EQ(nextFreeNumber(numbered({"1", "2", "4"})), QStringLiteral("3"));
    EXPECT_EQ(nextFreeNumber(numbered({"2"})), QStringLiteral("1"));
    EXPECT_EQ(nextFreeNumber(numbered({"1", "1.5", "2"})), QStringLiteral("3"));
    EXPECT_EQ(nextFreeNumber(numbered({"01", "2"})), QStringLiteral("3"));
    EXPECT_EQ(nextFreeNumber(numbered({"3", "abc", "1"})), QStringLiteral("2"));
    EXPECT_EQ(nextFreeNumber(numbered({"-1", "0"})), QStringLiteral("1"));
}

TEST(NextFreeNumber, GoesPastTheFourDigitLimit) {
    GridElements elements;
    for (int n = 1; n <= 9999; ++n)
        elements.push_back({QUuid::createUuid(), {n, 0}, QString::number(n)});
    EXPECT_EQ(nextFreeNumber(elements), QStringLiteral("10000"));
}
