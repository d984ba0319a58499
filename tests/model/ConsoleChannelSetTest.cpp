// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ConsoleChannelSet.h"

#include "model/CellNumberIndex.h"
#include "model/PatchLayout.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <random>

using namespace pexlora;
using namespace Qt::StringLiterals;

namespace {

// The set as "first-last" and lone numbers, comma-separated.
std::string written(const ConsoleChannelSet& set) {
    QStringList parts;
    for (const auto& range : set.ranges())
        parts.append(range.first == range.last
                         ? formatDecimal(range.first)
                         : formatDecimal(range.first) + u'-' + formatDecimal(range.last));
    return parts.join(u", "_s).toStdString();
}

struct ActiveChannelsCase {
    const char16_t* text;
    const char* ranges;
};

class ActiveChannels : public testing::TestWithParam<ActiveChannelsCase> {};

TEST_P(ActiveChannels, ReadLeniently) {
    const QString text = QString::fromUtf16(GetParam().text);
    EXPECT_EQ(written(ConsoleChannelSet::fromActiveChannels(text)), GetParam().ranges) << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, ActiveChannels,
    testing::Values(
        ActiveChannelsCase{u"1-5, 7, 11.2 [75]", "1-5, 7, 11.2"}, ActiveChannelsCase{u"", ""},
        ActiveChannelsCase{u"[100]", ""}, ActiveChannelsCase{u"12", "12"},
        // Blanks alone separate too, and "Thru", ">" and a lone "-" join their neighbours.
        ActiveChannelsCase{u"1 2  3", "1, 2, 3"}, ActiveChannelsCase{u"1 Thru 5 8 thru 9", "1-5, 8-9"},
        ActiveChannelsCase{u"1 > 4, 6>7, 9 - 10", "1-4, 6-7, 9-10"},
        // Backwards ranges, overlaps and repeats come out ascending and merged.
        ActiveChannelsCase{u"9-5, 1, 3-6, 1", "1, 3-9"}, ActiveChannelsCase{u"20, 10-15, 15-18", "10-18, 20"},
        // Exact decimals: 0.1 to 0.3 is not 0.30000000000000004 wide.
        ActiveChannelsCase{u"0.1-0.3, 2.50", "0.1-0.3, 2.5"},
        // From the first "[" on, the level, label and type: their numbers are no channels.
        ActiveChannelsCase{u"1 [100] Front 12 Source Four @ 2/101", "1"},
        ActiveChannelsCase{u"1-2 [100]", "1-2"}, ActiveChannelsCase{u"[50] 3, 4 [Full] 5", ""},
        ActiveChannelsCase{u"Chan 3 Part", "3"}, ActiveChannelsCase{u"abc, 4, 1-x, 5-6-7, , ;; 8", "4, 8"},
        // A "Thru" without both ends reads what is there.
        ActiveChannelsCase{u"Thru 5", "5"}, ActiveChannelsCase{u"5 Thru", "5"},
        ActiveChannelsCase{u"5 thru x 6", "5, 6"}, ActiveChannelsCase{u"1 [unclosed 2, 3", "1"},
        ActiveChannelsCase{u"\t7\n8\u00A09", "7, 8, 9"},
        ActiveChannelsCase{u"1-2000000000", "1-2000000000"}));

TEST(ActiveChannels, HostileTextsStayWithinTheirLimits) {
    // 100,000 ranges: read as far as the length and range limits allow, no further.
    QString manyRanges;
    for (int i = 0; i < 100000; ++i)
        manyRanges += QString::number(2 * i + 1) + u'-' + QString::number(2 * i + 1) + u", "_s;
    const auto many = ConsoleChannelSet::fromActiveChannels(manyRanges);
    EXPECT_LE(many.ranges().size(), ConsoleChannelSet::maxRanges);
    EXPECT_TRUE(many.contains(Decimal(1)));
    EXPECT_FALSE(many.contains(Decimal(2)));
    EXPECT_FALSE(many.contains(Decimal(199999)))
        << "the end of a megabyte of ranges lies past the length limit";

    // 60 KiB of channels one by one, then of one unbroken number, then of noise.
    QString channels;
    for (int i = 1; channels.size() < 60 * 1024; ++i)
        channels += QString::number(i) + u' ';
    const auto oneByOne = ConsoleChannelSet::fromActiveChannels(channels);
    EXPECT_EQ(oneByOne.ranges().size(), ConsoleChannelSet::maxRanges)
        << "whole numbers side by side stay apart";
    EXPECT_TRUE(oneByOne.contains(Decimal(10000)));
    EXPECT_FALSE(oneByOne.contains(Decimal(10001)));
    EXPECT_TRUE(ConsoleChannelSet::fromActiveChannels(QString(60 * 1024, u'9')).isEmpty());

    std::mt19937 random(15);
    std::uniform_int_distribution<int> character(0, 0x2FFF);
    QString noise;
    for (int i = 0; i < 60 * 1024; ++i)
        noise += QChar(static_cast<char16_t>(character(random)));
    EXPECT_LE(ConsoleChannelSet::fromActiveChannels(noise).ranges().size(), ConsoleChannelSet::maxRanges);

    // A huge range is two numbers: it holds a channel far inside it without listing any.
    const auto huge = ConsoleChannelSet::fromActiveChannels(u"1-2000000000, 3000000000 [10]");
    ASSERT_EQ(huge.ranges().size(), 2u);
    EXPECT_TRUE(huge.contains(Decimal(1999999999)));
    EXPECT_FALSE(huge.contains(Decimal(2500000000LL)));
    EXPECT_TRUE(huge.contains(Decimal(3000000000LL)));

    // Past the length limit the text is cut at a separator, so no number is read in half.
    QString longText = QString(ConsoleChannelSet::maxTextLength - 3, u' ') + u"12345"_s;
    EXPECT_TRUE(ConsoleChannelSet::fromActiveChannels(longText).isEmpty());
}

TEST(CellNumberIndex, FindsTheCellsInTheRangesByExactDecimalValue) {
    const QStringList numbers{u"1"_s, u"007"_s, u"1.5"_s, u"12.10"_s, u"0.3"_s,        u"0.31"_s,
                              u"x"_s, u""_s,    u"5"_s,   u"5"_s,     u"1999999999"_s, u"9999"_s};
    GridElements cells;
    for (qsizetype i = 0; i < numbers.size(); ++i)
        cells.push_back({QUuid::createUuid(), {i, 0}, numbers[i]});
    const CellNumberIndex index(cells);
    EXPECT_EQ(index.size(), 10u) << "texts that are no number are left out";

    const auto found = [&](const char16_t* text) {
        QStringList names;
        for (const std::size_t i : index.cellsIn(ConsoleChannelSet::fromActiveChannels(text)))
            names.append(cells[i].numberString);
        return names.join(u' ').toStdString();
    };
    EXPECT_EQ(found(u"7, 12.1 [40]"), "007 12.10");
    EXPECT_EQ(found(u"1-5"), "1 1.5 5 5")
        << "a range holds every number between its ends, both cells numbered 5 too";
    EXPECT_EQ(found(u"0.1 Thru 0.3"), "0.3");
    EXPECT_EQ(found(u"2-2000000000"), "007 12.10 5 5 1999999999 9999");
    EXPECT_EQ(found(u"10000-99999, 6"), "");
    EXPECT_EQ(found(u""), "");
}

struct PatchLayoutCase {
    QList<int> channels;
    const char* cells; // "number@col,row" in list order
};

class PatchLayoutTable : public testing::TestWithParam<PatchLayoutCase> {};

TEST_P(PatchLayoutTable, EveryChannelSitsWhereItsNumberPutsIt) {
    QStringList placed;
    for (const GridElement& cell : patchLayout(GetParam().channels))
        placed.append(u"%1@%2,%3"_s.arg(cell.numberString).arg(cell.position.col).arg(cell.position.row));
    EXPECT_EQ(placed.join(u' ').toStdString(), GetParam().cells);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PatchLayoutTable,
    testing::Values(PatchLayoutCase{{}, ""},
                    // The row of ten that holds the lowest channel is the top row; its column stays its own.
                    PatchLayoutCase{{5}, "5@4,0"},
                    PatchLayoutCase{
                        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
                        "1@0,0 2@1,0 3@2,0 4@3,0 5@4,0 6@5,0 7@6,0 8@7,0 9@8,0 10@9,0 11@0,1 12@1,1"},
                    // 100 still belongs to the first hundred; 101 starts the next after an empty row.
                    PatchLayoutCase{{99, 100, 101, 102}, "99@8,0 100@9,0 101@0,2 102@1,2"},
                    PatchLayoutCase{{1, 100, 101, 200, 201}, "1@0,0 100@9,9 101@0,11 200@9,20 201@0,22"},
                    // A missing reply or a gap in the patch leaves a hole and moves nobody else.
                    PatchLayoutCase{{1, 3, 12, 14}, "1@0,0 3@2,0 12@1,1 14@3,1"},
                    // Order of arrival does not matter, and a channel reported twice gets one cell.
                    PatchLayoutCase{{14, 3, 12, 3, 1, 14}, "1@0,0 3@2,0 12@1,1 14@3,1"},
                    // Hundreds without channels keep their rows, so every hundred has one place on the grid.
                    PatchLayoutCase{{3, 450, 451, 1001}, "3@2,0 450@9,48 451@0,49 1001@0,110"},
                    PatchLayoutCase{{1001, 1010, 1011, 1101}, "1001@0,0 1010@9,0 1011@0,1 1101@0,11"},
                    // Numbers no desk sends still land on the grid, never above or left of it.
                    PatchLayoutCase{{1, 0, -5}, "-5@4,0 0@9,0 1@0,2"}));

TEST(PatchLayout, GivesEveryCellAnIdOfItsOwn) {
    const GridElements cells = patchLayout({1, 2, 3});
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_NE(cells[0].id, cells[1].id);
    EXPECT_FALSE(cells[2].id.isNull());
}

} // namespace
