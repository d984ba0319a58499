// SPDX-License-Identifier: GPL-3.0-or-later
// The texts sent to the console and the small rules around the link.
#include "eos/EosCommandLines.h"
#include "eos/EosReconnectPolicy.h"
#include "eos/EosSettings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace std::chrono_literals;

// Elements numbered by `numbers`, and groups of indices into them.
struct Selection {
    GridElements elements;
    SelectionGroups groups;
};

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

Selection selection(const std::vector<std::vector<const char*>>& groupsOfNumbers) {
    Selection result;
    for (const auto& numbers : groupsOfNumbers) {
        std::vector<QUuid> group;
        for (const char* number : numbers) {
            result.elements.push_back(
                {QUuid::createUuid(), {static_cast<std::int64_t>(result.elements.size()), 0}, text(number)});
            group.push_back(result.elements.back().id);
        }
        result.groups.push_back(group);
    }
    return result;
}

TEST(CommandLines, ChannelListTextFoldsRunsAndBracketsGroups) {
    struct Case {
        std::vector<std::vector<const char*>> groups;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {{{"1", "2", "3", "4"}}, "1 > 4"},
        {{{"5", "4", "3"}}, "5 > 3"},
        {{{"1", "3", "5"}}, "1 3 5"},
        {{{"1", "2", "3", "5", "6"}}, "1 > 3 5 > 6"},
        {{{"1", "2", "2", "3"}}, "1 > 2 2 > 3"},
        {{{"1", "2", "1", "0"}}, "1 > 2 1 > 0"},
        {{{"1", "1.0"}}, "1 1.0"},
        {{{"A1", "A2"}}, "A1 A2"},
        {{{"10.1", "11.1", "12.1"}}, "10.1 > 12.1"},
        {{{"4", "5"}}, "4 > 5"},
        {{{"01", "02", "03"}}, "01 > 03"},
        {{{"1", "2", "x", "3", "4"}}, "1 > 2 x 3 > 4"},
        {{{"1", "2"}, {"4", "3"}, {"9"}}, "(1 > 2) (4 > 3) 9"},
        {{{"1", "2", "3"}, {"7"}, {"9", "5"}}, "(1 > 3) 7 (9 5)"},
        {{{"1"}, {"2"}}, "1 2"},
        {{{"4", "5"}, {}}, "(4 > 5)"},
        {{{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}}, "1 > 11"},
        {{}, ""},
        {{{}}, ""},
        {{{}, {}}, ""},
    };
    for (const Case& c : cases) {
        const Selection s = selection(c.groups);
        EXPECT_EQ(channelListText(s.groups, s.elements), text(c.expected)) << c.expected;
    }
}

TEST(CommandLines, ChannelListTextSkipsUnknownIDsAndTakesTheFirstElementOfAnID) {
    Selection s = selection({{"1", "2", "3"}});
    s.groups[0].insert(s.groups[0].begin() + 1, QUuid::createUuid()); // names no element
    s.elements.push_back({s.elements[2].id, {9, 9}, QStringLiteral("99")});
    EXPECT_EQ(channelListText(s.groups, s.elements), QStringLiteral("1 > 3"));
    EXPECT_EQ(channelListText({{QUuid::createUuid()}}, s.elements), QString());
}

TEST(CommandLines, SelectionBarTextFoldsOneSequenceOrBracketsEachGroup) {
    struct Case {
        std::vector<std::vector<const char*>> groups;
        MarqueeModifier modifier;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {{{"1", "2", "3", "4", "7", "9", "10"}}, MarqueeModifier::none, "1>4 + 7 + 9>10"},
        {{{"5", "4", "3"}}, MarqueeModifier::shift, "5>3"},
        {{{"1", "3", "5"}}, MarqueeModifier::none, "1 + 3 + 5"},
        {{{"1", "2", "3"}, {"7"}}, MarqueeModifier::command, "(1,2,3) + (7)"},
        {{{"1", "2"}, {"3", "4"}}, MarqueeModifier::option, "(1,2) + (3,4)"},
        {{{"3"}, {"2", "4"}}, MarqueeModifier::control, "(3) + (2,4)"},
        // Without a modifier or with Shift the groups are read as one sequence.
        {{{"1", "2"}, {"3"}}, MarqueeModifier::none, "1>3"},
        {{{"10.1", "11.1"}, {"A1", "A2"}}, MarqueeModifier::shift, "10.1>11.1 + A1 + A2"},
        {{{"1", "1.0", "2.0"}}, MarqueeModifier::none, "1 + 1.0>2.0"},
        {{}, MarqueeModifier::none, "No selection"},
        {{}, MarqueeModifier::option, "No selection"},
    };
    for (const Case& c : cases) {
        const Selection s = selection(c.groups);
        EXPECT_EQ(selectionBarText(s.groups, s.elements, c.modifier), text(c.expected)) << c.expected;
    }
}

TEST(CommandLines, SelectionBarTextSkipsIDsWithoutAnElement) {
    Selection s = selection({{"1", "2"}, {"3"}});
    const QUuid gone = QUuid::createUuid();
    s.groups[0].insert(s.groups[0].begin() + 1, gone);
    s.groups.push_back({gone, QUuid::createUuid()});
    EXPECT_EQ(selectionBarText(s.groups, s.elements, MarqueeModifier::none), QStringLiteral("1>3"));
    EXPECT_EQ(selectionBarText(s.groups, s.elements, MarqueeModifier::command),
              QStringLiteral("(1,2) + (3) + ()"));
    EXPECT_EQ(selectionBarText({{gone}}, s.elements, MarqueeModifier::none), QString());
}

TEST(CommandLines, RecordGroupMessagesCarryTheNumberAsTyped) {
    EXPECT_EQ(recordGroupCommandLine(QStringLiteral("12")),
              (EosCommand{QStringLiteral("/eos/user/91/newcmd"), QStringLiteral("Record Group 12 Enter")}));
    EXPECT_EQ(groupChannelsCommand(QStringLiteral("12.125"), QStringLiteral("1 > 3 7")),
              (EosCommand{QStringLiteral("/eos/set/group/12.125/chans"), QStringLiteral("1 > 3 7")}));
    // The recording user selects the channels first, runs folded in either direction.
    EXPECT_EQ(selectChannelsCommandLine(QStringLiteral("9 8 7 1 2 3 5 10.5").split(u' ')),
              (EosCommand{QStringLiteral("/eos/user/91/newcmd"),
                          QStringLiteral("Chan 9 Thru 7 + 1 Thru 3 + 5 + 10.5 Enter")}));
}

TEST(CommandLines, GroupNumbersAreDigitsWithOnePointWithinRange) {
    const std::vector<std::pair<const char*, bool>> cases = {
        {"1", true},       {"12", true},          {"12.125", true}, {"12.5", true}, {"99999.999", true},
        {"99999", true},   {"007", true},         {"12.", true},    {"0.5", false}, {"12.1250", false},
        {"100000", false}, {"99999.9991", false}, {"abc", false},   {"", false},    {".", false},
        {"0", false},      {"1.2.3", false},      {" 12", false},   {"12 ", false}, {"+12", false},
        {"-1", false},     {"1e3", false},        {"12a", false},   {"1/2", false}, {"1 2", false},
        {"١٢", false}, // Arabic-Indic digits are digits, but not ASCII ones
    };
    for (const auto& [number, valid] : cases)
        EXPECT_EQ(isValidGroupNumber(text(number)), valid) << '"' << number << '"';
}

TEST(CommandLines, StoredPortTextsFollowThePortRule) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"3037", 3037},
        {"+3037", 3037},
        {"", 3038},
        {"abc", 3038},
        {"30 37", 3038},
        {" 3037", 3038},
        {"0", 0},
        {"-5", -5},
        {"70000", 70000},
        {"+", 3038},
        {"-", 3038},
        {"3037x", 3038},
        {"99999999999999999999", INT_MAX},
        {"-99999999999999999999", INT_MIN},
    };
    for (const auto& [stored, port] : cases)
        EXPECT_EQ(eosPortFromText(text(stored)), port) << '"' << stored << '"';
}

TEST(CommandLines, StoredConsoleAddressDefaultsToLoopbackAnd3038) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("Pexlora.conf")), QSettings::IniFormat);
    EXPECT_EQ(storedConsoleAddress(settings), (EosConsoleAddress{QStringLiteral("127.0.0.1"), 3038}));
    settings.setValue(eosIPKey, QStringLiteral("10.0.0.5"));
    settings.setValue(eosPortKey, QString());
    EXPECT_EQ(storedConsoleAddress(settings), (EosConsoleAddress{QStringLiteral("10.0.0.5"), 3038}));
    settings.setValue(eosIPKey, QStringLiteral("  "));
    settings.setValue(eosPortKey, QStringLiteral("+3037"));
    EXPECT_EQ(storedConsoleAddress(settings), (EosConsoleAddress{QStringLiteral("127.0.0.1"), 3037}));
}

TEST(CommandLines, ReconnectDelaysDoubleFromThreeSecondsUpToThirty) {
    const EosReconnectPolicy policy;
    const std::vector<std::chrono::milliseconds> expected = {3s, 6s, 12s, 24s, 30s, 30s, 30s};
    for (int failures = 1; failures <= 7; ++failures)
        EXPECT_EQ(policy.delayAfter(failures), expected[static_cast<std::size_t>(failures - 1)]) << failures;
    EXPECT_EQ(policy.delayAfter(0), 3s);
    EXPECT_EQ(policy.delayAfter(1'000'000), 30s);
}

} // namespace
} // namespace pexlora
