// SPDX-License-Identifier: GPL-3.0-or-later
#include "EosTestSupport.h"
#include "eos/EosGroupDirectory.h"

#include <QSignalSpy>
#include <deque>
#include <gtest/gtest.h>

namespace pexlora::test {
namespace {

using namespace Qt::StringLiterals;

TEST(GroupReplies, DocumentedShapesAreReadLeniently) {
    using namespace EosGroupReply;
    const struct {
        OSCMessage message;
        std::vector<int> channels; // of a Channels reply
        QString number;            // of a Header or Channels reply
        std::optional<int> index;
    } table[] = {
        {OSCMessage("/eos/out/get/group/12/channels", {0, "8D3F", "1-3", 7, "10-8"}), {1, 2, 3, 7, 10, 9, 8}, u"12"_s, 0},
        {OSCMessage("/eos/out/get/group/1.20/channels", {"3", "uid", 5.0f, "6,9-10"}), {5, 6, 9, 10}, u"1.2"_s, 3},
        {OSCMessage("/eos/out/get/group/012/channels", {-1, "uid", "1 Thru 2 + 4", "x", 0, 100000}), {1, 2, 4}, u"12"_s, -1},
        {OSCMessage("/eos/out/get/group/5/channels", {2.5f}), {}, u"5"_s, std::nullopt},
        {OSCMessage("/eos/out/get/group/7", {"4", "uid", "Front wash", "extra"}), {}, u"7"_s, 4},
    };
    for (const auto& row : table) {
        const auto reply = read(row.message);
        ASSERT_TRUE(reply) << row.message.description();
        if (const auto* channels = std::get_if<Channels>(&*reply)) {
            EXPECT_EQ(channels->channels, row.channels) << row.message.description();
            EXPECT_EQ(channels->number, row.number);
            EXPECT_EQ(channels->index, row.index) << row.message.description();
        } else {
            const auto& header = std::get<Header>(*reply);
            EXPECT_EQ(header.number, row.number);
            EXPECT_EQ(header.label, u"Front wash"_s);
            EXPECT_EQ(header.index, row.index);
        }
    }
    // Not groups, or not numbers: nothing.
    for (const char* address : {"/eos/out/get/group/abc", "/eos/out/get/group/-1", "/eos/out/get/group/1e5",
                                "/eos/out/get/group/0", "/eos/out/get/patch/1", "/eos/out/get/group/count"})
        EXPECT_FALSE(read(OSCMessage(address, {"x"}))) << address;
    EXPECT_EQ(std::get<Count>(*read(OSCMessage("/eos/out/get/group/count", {2147483647}))).count, maxGroups);
    const auto changed = std::get<Changed>(*read(OSCMessage("/eos/out/notify/group", {9, 3, "5-7", "1.5"})));
    EXPECT_EQ(changed.numbers, (std::vector<QString>{u"3"_s, u"5"_s, u"6"_s, u"7"_s, u"1.5"_s}));
    EXPECT_TRUE(std::get<Changed>(*read(OSCMessage("/eos/out/notify/group", {1, "1-5000"}))).all);
    bool cut = false;
    const OSCValue huge[] = {"1-99999", "1-99999"};
    EXPECT_EQ(channelNumbers(huge, maxChannels, &cut).size(), maxChannels);
    EXPECT_TRUE(cut);
}

// A desk's groups behind a directory: questions are queued and answered when the test pumps.
struct DeskGroups {
    struct Group {
        QString number;
        QString label;
        std::vector<OSCValue> channels;
    };

    DeskGroups()
        : directory(clock, [this](const OSCMessage& message) { asked.push_back(message); }) {}

    void answer(const OSCMessage& question) {
        const std::string address(question.addressPattern.rawAddress());
        const auto reply = [&](std::size_t i, std::int32_t index) {
            const std::string base = "/eos/out/get/group/" + groups[i].number.toStdString();
            directory.take(OSCMessage(OSCAddressPattern(base), {index, "uid", groups[i].label.toStdString()}));
            OSCValues values{index, "uid"};
            for (const OSCValue& channel : groups[i].channels)
                values.push_back(channel);
            directory.take(OSCMessage(OSCAddressPattern(base + "/channels"), std::move(values)));
        };
        if (address == "/eos/get/group/count")
            directory.take(OSCMessage("/eos/out/get/group/count", {count.value_or(std::int32_t(groups.size()))}));
        else if (address.starts_with("/eos/get/group/index/")) {
            const std::size_t index = std::stoul(address.substr(21));
            if (index < groups.size())
                reply(index, static_cast<std::int32_t>(index));
        } else if (address.starts_with("/eos/get/group/"))
            for (std::size_t i = 0; i < groups.size(); ++i)
                if (groups[i].number.toStdString() == address.substr(15))
                    reply(i, -1);
    }
    void pump() {
        while (!asked.empty()) {
            const OSCMessage question = asked.front();
            asked.pop_front();
            answer(question);
        }
    }
    QStringList numbers() const {
        QStringList list;
        for (const EosGroup& group : directory.groups())
            list.append(group.number);
        return list;
    }

    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::vector<Group> groups;
    std::optional<std::int32_t> count; // a count that differs from the groups held
    std::deque<OSCMessage> asked;
    EosGroupDirectory directory;
};

TEST(GroupDirectory, ReadsEveryGroupInOrderOfNumberAndFollowsTheDesksChanges) {
    DeskGroups desk;
    for (int i = 100; i >= 1; --i)
        desk.groups.push_back({QString::number(i), u"Group %1"_s.arg(i), {i, "200-202"}});
    desk.groups.push_back({u"1.5"_s, u"Half"_s, {3}});
    desk.directory.start();
    EXPECT_EQ(desk.asked.front(), OSCMessage("/eos/subscribe", {1}));
    desk.pump();
    ASSERT_EQ(desk.directory.status(), EosGroupDirectory::Status::ready);
    ASSERT_EQ(desk.directory.groups().size(), 101u);
    EXPECT_EQ(desk.numbers().mid(0, 3), (QStringList{u"1"_s, u"1.5"_s, u"2"_s}));
    const EosGroup* twelve = desk.directory.find(u"12.0"_s);
    ASSERT_NE(twelve, nullptr);
    EXPECT_EQ(twelve->label, u"Group 12"_s);
    EXPECT_EQ(twelve->channels, (std::vector<int>{12, 200, 201, 202}));

    // A notification re-reads the groups it names; one the desk no longer answers for is gone.
    QSignalSpy read(&desk.directory, &EosGroupDirectory::groupRead);
    desk.groups.back().label = u"Renamed"_s;
    desk.groups.erase(desk.groups.begin()); // group 100
    desk.directory.take(OSCMessage("/eos/out/notify/group", {7, "1.5", 100}));
    desk.pump();
    EXPECT_EQ(desk.directory.find(u"1.5"_s)->label, u"Renamed"_s);
    desk.clock->advance(3s);
    EXPECT_EQ(desk.directory.find(u"100"_s), nullptr);
    EXPECT_EQ(read.size(), 2);
    EXPECT_EQ(read.back(), (QVariantList{u"100"_s, false}));

    // A show loaded: everything again.
    desk.groups = {{u"40"_s, u"New show"_s, {1}}};
    desk.directory.take(OSCMessage("/eos/out/event/show/loaded", {}));
    desk.pump();
    EXPECT_EQ(desk.numbers(), QStringList{u"40"_s});
    desk.directory.stop();
    EXPECT_TRUE(desk.directory.groups().empty());
}

TEST(GroupDirectory, AnUntrustworthyDeskIsBoundedAndWhatWasReadStays) {
    DeskGroups desk;
    desk.groups = {{u"1"_s, QString(60 * 1024, u'x'), {"1-99999", "1-99999"}}, {u"2"_s, u"Two"_s, {2}}};
    desk.count = 2147483647;
    desk.directory.start();
    desk.pump();
    // Asked in a window, never all at once; the desk answers only two of them.
    EXPECT_EQ(desk.directory.status(), EosGroupDirectory::Status::reading);
    // Replies for what was never asked are ignored.
    desk.directory.take(OSCMessage("/eos/out/get/group/77/channels", {9000, "uid", 1}));
    desk.directory.take(OSCMessage("/eos/out/get/group/78/channels", {-1, "uid", 1}));
    for (int round = 0; round < EosGroupReply::maxGroups / EosGroupDirectory::window + 1; ++round) {
        desk.clock->advance(3s);
        desk.asked.clear();
    }
    ASSERT_EQ(desk.directory.status(), EosGroupDirectory::Status::ready);
    EXPECT_EQ(desk.numbers(), (QStringList{u"1"_s, u"2"_s}));
    EXPECT_EQ(desk.directory.find(u"1"_s)->label.size(), 1000);
    EXPECT_EQ(desk.directory.find(u"1"_s)->channels.size(), EosGroupReply::maxChannels);
    EXPECT_TRUE(desk.directory.find(u"1"_s)->channelsCut);

    // A desk that never says how many groups it has leaves them unreadable, keeping none invented.
    DeskGroups mute;
    mute.directory.start();
    mute.asked.clear();
    mute.clock->advance(5s);
    EXPECT_EQ(mute.directory.status(), EosGroupDirectory::Status::unreadable);
    EXPECT_TRUE(mute.directory.groups().empty());
}

} // namespace
} // namespace pexlora::test
