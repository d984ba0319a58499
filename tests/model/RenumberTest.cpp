// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelTestSupport.h"
#include "model/Decimal.h"

#include <gtest/gtest.h>

using namespace pexlora;
using test::idAt;

namespace {

TEST(FormatDecimal, DropsTrailingFractionZerosOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"2.50", "2.5"},
        {"3.0", "3"},
        {"1.10", "1.1"},
        {"10", "10"},
        {"100", "100"},
        {"-2", "-2"},
        {"-0.0", "0"},
        {"0", "0"},
        {"0.001", "0.001"},
        {"+7", "7"},
        {"1.", "1"},
        {".5", "0.5"},
        {"  4.20 ", "4.2"},
        {"12345678901234567890123456789012345678", "12345678901234567890123456789012345678"},
        {"0.00000000000000000000000000000000000001", "0.00000000000000000000000000000000000001"},
    };
    for (const auto& [in, out] : cases) {
        const auto value = readDecimal(QString::fromUtf8(in));
        ASSERT_TRUE(value) << in;
        EXPECT_EQ(formatDecimal(*value), QString::fromUtf8(out)) << in;
    }
}

TEST(ReadDecimal, RefusesTextThatHoldsNoPlainNumber) {
    for (const char* text : {"", " ", "abc", ".", "-", "+", "1.2.3", "1e5", "1,5", "0x10", "--1", "1-", "nan",
                             "inf", "1 2", "\xEF\xBC\x91"}) {
        EXPECT_FALSE(readDecimal(QString::fromUtf8(text))) << text;
    }
    EXPECT_FALSE(readDecimal(QString(300, u'1'))) << "absurdly long text";
}

TEST(ReadDecimal, AddsExactlyInBaseTen) {
    Decimal sum = *readDecimal(QStringLiteral("0"));
    for (int i = 0; i < 10; ++i)
        sum += *readDecimal(QStringLiteral("0.1"));
    EXPECT_EQ(formatDecimal(sum), QStringLiteral("1"));
    const Decimal big = *readDecimal(QStringLiteral("99999999999999999999999999999999999999"));
    EXPECT_EQ(formatDecimal(Decimal(big + 1)), QStringLiteral("100000000000000000000000000000000000000"));
}

class QuickRenumber : public testing::Test {
protected:
    void SetUp() override {
        for (std::int64_t col = 0; col < 12; ++col)
            model.placeElement({col, 0});
    }
    // Clicks `count` cells from the left and returns the numbers they got.
    std::vector<QString> click(int count) {
        std::vector<QString> given;
        for (int i = 0; i < count; ++i) {
            const QUuid id = idAt(model, {clicked++, 0});
            model.applyQuickRenumber(id);
            given.push_back(model.element(id)->numberString);
        }
        return given;
    }
    std::vector<QString> texts(std::initializer_list<const char*> list) {
        std::vector<QString> out;
        for (const char* t : list)
            out.push_back(QString::fromUtf8(t));
        return out;
    }

    GridViewModel model;
    std::int64_t clicked = 0;
};

TEST_F(QuickRenumber, CountsUpByOne) {
    EXPECT_EQ(click(3), texts({"1", "2", "3"}));
    EXPECT_EQ(model.quickRenumberNext(), QStringLiteral("4"));
}

TEST_F(QuickRenumber, StepsOfOneTenthAreExact) {
    model.setQuickRenumberNext(QStringLiteral("1.1"));
    model.setQuickRenumberIncrement(QStringLiteral("0.1"));
    EXPECT_EQ(click(11), texts({"1.1", "1.2", "1.3", "1.4", "1.5", "1.6", "1.7", "1.8", "1.9", "2", "2.1"}));
    EXPECT_EQ(model.quickRenumberNext(), QStringLiteral("2.2"));
}

TEST_F(QuickRenumber, NumberTooLongIsSkippedButNextMovesOn) {
    model.setQuickRenumberNext(QStringLiteral("9999"));
    EXPECT_EQ(click(2), texts({"9999", "2"})) << "the second cell keeps its own number";
    EXPECT_EQ(model.quickRenumberNext(), QStringLiteral("10001"));
    EXPECT_TRUE(model.isDirty());
}

TEST_F(QuickRenumber, UnreadableTextsCountAsOne) {
    model.setQuickRenumberNext(QStringLiteral("abc"));
    EXPECT_EQ(click(1), texts({"1"}));
    EXPECT_EQ(model.quickRenumberNext(), QStringLiteral("2"));
    model.setQuickRenumberIncrement(QString());
    EXPECT_EQ(click(1), texts({"2"}));
    EXPECT_EQ(model.quickRenumberNext(), QStringLiteral("3"));
}

TEST_F(QuickRenumber, ZeroIncrementRepeatsAndNegativeRunsRefuseBelowZero) {
    model.setQuickRenumberNext(QStringLiteral("7"));
    model.setQuickRenumberIncrement(QStringLiteral("0"));
    EXPECT_EQ(click(2), texts({"7", "7"}));
    model.setQuickRenumberNext(QStringLiteral("2"));
    model.setQuickRenumberIncrement(QStringLiteral("-1"));
    EXPECT_EQ(click(4), texts({"2", "1", "0", "6"})) << "-1 is refused; the fourth cell was numbered 6";
    EXPECT_EQ(model.quickRenumberNext(), QStringLiteral("-2"));
}

TEST_F(QuickRenumber, ResetKeepsACustomIncrement) {
    model.setQuickRenumberIncrement(QStringLiteral("5"));
    click(3);
    model.setQuickRenumberNext(QStringLiteral("1")); // the panel's Reset
    EXPECT_EQ(model.quickRenumberIncrement(), QStringLiteral("5"));
    EXPECT_EQ(click(1), texts({"1"}));
}

TEST_F(QuickRenumber, MissingElementChangesNothing) {
    test::clearDirty(model);
    test::SignalCounter changes(model);
    model.applyQuickRenumber(QUuid::createUuid());
    EXPECT_EQ(changes.total(), 0);
    EXPECT_EQ(model.quickRenumberNext(), QStringLiteral("1"));
}

TEST(Renumber, CommitAppliesValidTextAsTypedAndClosesThePopover) {
    GridViewModel model;
    model.placeElement({0, 0});
    const QUuid id = idAt(model, {0, 0});
    model.beginRenumber(id);
    EXPECT_EQ(model.editingElementID(), id);
    EXPECT_EQ(model.editingElementText(), QStringLiteral("1"));
    model.setEditingElementText(QStringLiteral("12345"));
    model.commitRenumber();
    EXPECT_EQ(model.element(id)->numberString, QStringLiteral("1"));
    EXPECT_FALSE(model.editingElementID());
    EXPECT_EQ(model.editingElementText(), QString());
    model.beginRenumber(id);
    model.setEditingElementText(QStringLiteral("0012.5"));
    model.commitRenumber();
    EXPECT_EQ(model.element(id)->numberString, QStringLiteral("0012.5"));
}

TEST(Renumber, BeginOnAMissingElementDoesNothing) {
    GridViewModel model;
    model.beginRenumber(QUuid::createUuid());
    EXPECT_FALSE(model.editingElementID());
    model.commitRenumber();
    EXPECT_FALSE(model.isDirty());
}

TEST(Renumber, TabWalksInReadingOrderAndWraps) {
    GridViewModel model;
    // Placed out of reading order on purpose; row 1 is empty.
    test::placeAll(model, {{3, 2}, {1, 0}, {0, 2}, {0, 0}, {5, 0}});
    const std::vector<GridPosition> reading{{0, 0}, {1, 0}, {5, 0}, {0, 2}, {3, 2}};
    for (std::size_t i = 0; i < reading.size(); ++i) {
        const GridPosition next = reading[(i + 1) % reading.size()];
        EXPECT_EQ(model.nextElementID(idAt(model, reading[i])), idAt(model, next)) << test::text(reading[i]);
    }
    EXPECT_FALSE(model.nextElementID(QUuid::createUuid()));
}

TEST(Renumber, SingleCellIsItsOwnNext) {
    GridViewModel model;
    model.placeElement({4, 4});
    const QUuid id = idAt(model, {4, 4});
    EXPECT_EQ(model.nextElementID(id), id);
}

} // namespace
