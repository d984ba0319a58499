// SPDX-License-Identifier: GPL-3.0-or-later
// The sACN receiver on a socket and a clock of the test's own: which universes it takes,
// what it says changed and when, the groups it joins and the interface it joins them on.
#include "levels/SacnReceiver.h"

#include "EosTestSupport.h"
#include "levels/SacnNetwork.h"

#include <deque>
#include <gtest/gtest.h>
#include <utility>

namespace pexlora {
namespace {

using namespace test;

// What the receiver's socket would hear and do, kept where the test sees it.
class FakeSacnSocket final : public SacnSocket {
public:
    std::deque<Bytes> waiting;
    std::set<std::pair<QString, QString>> groups; // group and interface joined
    std::optional<QString> bindFailure;
    std::function<void()> ready;

    // One burst: the datagrams arrive, then the socket signals once.
    void deliver(const std::vector<Bytes>& datagrams) {
        waiting.insert(waiting.end(), datagrams.begin(), datagrams.end());
        ready();
    }

    Result<std::uint16_t, QString> bind(std::uint16_t) override {
        if (bindFailure)
            return fail(*bindFailure);
        return std::uint16_t{5568};
    }
    void close() override {}
    bool joinGroup(const QHostAddress& group, const QString& interfaceName) override {
        return groups.emplace(group.toString(), interfaceName).second;
    }
    void leaveGroup(const QHostAddress& group, const QString& interfaceName) override {
        groups.erase({group.toString(), interfaceName});
    }
    std::optional<std::size_t> read(std::span<std::uint8_t> buffer) override {
        if (waiting.empty())
            return std::nullopt;
        const Bytes datagram = std::move(waiting.front());
        waiting.pop_front();
        const std::size_t size = std::min(buffer.size(), datagram.size());
        std::copy_n(datagram.begin(), size, buffer.begin());
        return size;
    }
    void setReadyHandler(std::function<void()> handler) override { ready = std::move(handler); }
};

struct Sent {
    std::uint16_t universe;
    std::uint8_t source;
    std::uint8_t sequence;
    std::vector<std::uint8_t> levels;
    std::uint8_t priority = 100;
    const char* name = "Eos Ti";
};

Bytes datagram(const Sent& sent) {
    SacnDataPacket packet;
    packet.cid[15] = sent.source;
    packet.sourceName = sent.name;
    packet.universe = sent.universe;
    packet.sequence = sent.sequence;
    packet.priority = sent.priority;
    std::copy(sent.levels.begin(), sent.levels.end(), packet.values.begin());
    packet.slotCount = sent.levels.size();
    return sacnDatagram(packet);
}

struct Fixture {
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::unique_ptr<FakeSacnSocket> owned = std::make_unique<FakeSacnSocket>();
    FakeSacnSocket& socket = *owned;
    SacnReceiver receiver{clock, {}, std::move(owned)};
    std::vector<std::vector<std::uint16_t>> changes;
    int summaries = 0;

    Fixture() {
        QObject::connect(
            &receiver, &SacnReceiver::levelsChanged,
            [this](const std::vector<std::uint16_t>& universes) { changes.push_back(universes); });
        QObject::connect(&receiver, &SacnReceiver::summaryChanged, [this] { ++summaries; });
    }

    void send(const std::vector<Sent>& burst) {
        std::vector<Bytes> datagrams;
        for (const Sent& sent : burst)
            datagrams.push_back(datagram(sent));
        socket.deliver(datagrams);
    }
    // The universes of each levelsChanged since the last call.
    std::vector<std::vector<std::uint16_t>> takeChanges() { return std::exchange(changes, {}); }
};

using Changes = std::vector<std::vector<std::uint16_t>>;

TEST(SacnReceiver, SaysOncePerBurstWhichWantedUniversesChanged) {
    const struct {
        const char* what;
        std::vector<Sent> first;
        std::vector<Sent> second;
        Changes secondChanges;
    } table[] = {
        {"a universe not wanted never reaches the merger", {}, {{9, 1, 1, {255}}}, {}},
        {"the same levels again change nothing", {{1, 1, 1, {10, 20}}}, {{1, 1, 2, {10, 20}}}, {}},
        {"only the universe whose levels changed",
         {{1, 1, 1, {10}}, {2, 1, 1, {10}}},
         {{1, 1, 2, {10}}, {2, 1, 2, {11}}, {3, 1, 1, {}}},
         {{2}}},
        {"many packets of one burst, one signal",
         {},
         {{1, 1, 1, {1}}, {1, 1, 2, {2}}, {1, 1, 3, {3}}, {2, 1, 1, {4}}},
         {{1, 2}}},
        {"an equal priority merges highest first", {{1, 1, 1, {10, 50}}}, {{1, 2, 1, {30, 5}}}, {{1}}},
        {"more slots than before is a change", {{1, 1, 1, {10}}}, {{1, 1, 2, {10, 0}}}, {{1}}},
    };
    for (const auto& row : table) {
        Fixture fixture;
        ASSERT_TRUE(fixture.receiver.listen({1, 2, 3}, QHostAddress()));
        fixture.send(row.first);
        fixture.takeChanges();
        fixture.send(row.second);
        EXPECT_EQ(fixture.takeChanges(), row.secondChanges) << row.what;
    }

    Fixture fixture;
    ASSERT_TRUE(fixture.receiver.listen({1, 2}, QHostAddress()));
    fixture.send({{1, 1, 1, {10, 50}}, {1, 2, 1, {30, 5, 7}}, {9, 1, 1, {255}}});
    fixture.socket.deliver({Bytes(200, 0x10)}); // not sACN
    EXPECT_EQ(fixture.receiver.level(1, 1), 30);
    EXPECT_EQ(fixture.receiver.level(1, 2), 50);
    EXPECT_EQ(fixture.receiver.level(1, 3), 7);
    EXPECT_EQ(fixture.receiver.level(1, 4), std::nullopt);
    EXPECT_EQ(fixture.receiver.level(9, 1), std::nullopt);
    EXPECT_EQ(fixture.takeChanges(), Changes{{1}});
}

TEST(SacnReceiver, ReadsABoundedBurstPerTurnAndLeavesTheRestForTheNext) {
    Fixture fixture;
    ASSERT_TRUE(fixture.receiver.listen({1}, QHostAddress()));
    std::vector<Sent> flood;
    for (int sequence = 1; sequence <= SacnReceiver::maxDatagramsPerTurn + 10; ++sequence)
        flood.push_back({1, 1, static_cast<std::uint8_t>(sequence), {static_cast<std::uint8_t>(sequence)}});
    fixture.send(flood);
    EXPECT_EQ(fixture.socket.waiting.size(), 10u);
    EXPECT_EQ(fixture.receiver.level(1, 1), SacnReceiver::maxDatagramsPerTurn);
    fixture.socket.ready();
    EXPECT_EQ(fixture.receiver.level(1, 1), SacnReceiver::maxDatagramsPerTurn + 10);
    EXPECT_EQ(fixture.takeChanges(), (Changes{{1}, {1}}));
}

TEST(SacnReceiver, ASourceSilentTooLongIsGoneAndSaidToBe) {
    Fixture fixture;
    ASSERT_TRUE(fixture.receiver.listen({1, 2}, QHostAddress()));
    fixture.send({{1, 1, 1, {10}}, {2, 2, 1, {20}}});
    fixture.takeChanges();
    fixture.clock->advance(1500ms);
    fixture.send({{2, 2, 2, {20}}});
    fixture.clock->advance(SacnMerger::sourceLoss - 1500ms - 1ms);
    EXPECT_TRUE(fixture.takeChanges().empty());
    fixture.clock->advance(SacnReceiver::expiryPeriod);
    EXPECT_EQ(fixture.takeChanges(), Changes{{1}}) << "universe 2 is still heard";
    EXPECT_EQ(fixture.receiver.level(1, 1), std::nullopt);
    EXPECT_EQ(fixture.receiver.level(2, 1), 20);
    fixture.clock->advance(SacnMerger::sourceLoss);
    EXPECT_EQ(fixture.takeChanges(), Changes{{2}});
    EXPECT_EQ(fixture.receiver.summary(), SacnReceiver::Summary{});
}

TEST(SacnReceiver, SummarySaysTheWinnerOfTheLowestUniverseAndCountsEachSourceOnce) {
    Fixture fixture;
    ASSERT_TRUE(fixture.receiver.listen({1, 2, 3}, QHostAddress()));
    fixture.send(
        {{2, 1, 1, {1}, 100, "Backup"}, {2, 2, 1, {1}, 150, "Primary"}, {3, 2, 1, {1}, 150, "Primary"}});
    EXPECT_EQ(fixture.receiver.summary(), (SacnReceiver::Summary{QStringLiteral("Primary"), 2, 2}));
    fixture.send({{1, 1, 2, {1}, 100, "Backup"}});
    EXPECT_EQ(fixture.receiver.summary(), (SacnReceiver::Summary{QStringLiteral("Backup"), 2, 3}));
    fixture.summaries = 0;
    fixture.send({{1, 1, 3, {2}, 100, "Backup"}});
    EXPECT_EQ(fixture.summaries, 0) << "new levels, same summary";

    // A universe no longer wanted is forgotten, and said to have changed.
    fixture.takeChanges();
    ASSERT_TRUE(fixture.receiver.listen({2}, QHostAddress()));
    EXPECT_EQ(fixture.takeChanges(), (Changes{{1, 3}}));
    EXPECT_EQ(fixture.receiver.summary(), (SacnReceiver::Summary{QStringLiteral("Primary"), 2, 1}));
    fixture.receiver.stop();
    EXPECT_EQ(fixture.takeChanges(), Changes{{2}});
    EXPECT_EQ(fixture.receiver.summary(), SacnReceiver::Summary{});
}

TEST(SacnReceiver, JoinsTheGroupsOfTheUniversesWantedAndLeavesTheOthers) {
    using Groups = std::set<std::pair<QString, QString>>;
    Fixture fixture;
    ASSERT_TRUE(fixture.receiver.listen({1, 256, 63999, 0, 64000}, QHostAddress()));
    EXPECT_EQ(fixture.socket.groups, (Groups{{QStringLiteral("239.255.0.1"), QString()},
                                             {QStringLiteral("239.255.1.0"), QString()},
                                             {QStringLiteral("239.255.249.255"), QString()}}))
        << "universes 0 and 64000 do not exist";
    ASSERT_TRUE(fixture.receiver.listen({1, 2}, QHostAddress()));
    EXPECT_EQ(fixture.socket.groups, (Groups{{QStringLiteral("239.255.0.1"), QString()},
                                             {QStringLiteral("239.255.0.2"), QString()}}));
    fixture.receiver.stop();
    EXPECT_TRUE(fixture.socket.groups.empty());
    EXPECT_FALSE(fixture.receiver.isListening());

    Fixture refused;
    refused.socket.bindFailure = QStringLiteral("The bound address is already in use");
    EXPECT_FALSE(refused.receiver.listen({1}, QHostAddress()));
    EXPECT_TRUE(refused.receiver.lastError().contains(QStringLiteral("already in use")));
    EXPECT_TRUE(refused.socket.groups.empty());
    EXPECT_FALSE(refused.receiver.isListening());
}

TEST(SacnNetwork, TheDeskIsHeardOnTheInterfaceWhoseSubnetHoldsIt) {
    const auto subnet = [](const char* address, int prefix) {
        return SacnInterface::Subnet{QHostAddress(QString::fromLatin1(address)), prefix};
    };
    const std::vector<SacnInterface> interfaces = {
        {QStringLiteral("lo"), true, false, {subnet("127.0.0.1", 8)}},
        {QStringLiteral("wlan0"), false, true, {subnet("10.0.0.5", 8)}},
        {QStringLiteral("eth0"), true, true, {subnet("192.168.1.10", 24)}},
        {QStringLiteral("eth1"), true, true, {subnet("10.101.0.2", 16), subnet("2.0.0.1", 8)}},
        {QStringLiteral("eth2"), true, true, {subnet("10.0.0.0", 8)}},
    };
    const struct {
        const char* desk;
        const char* interfaceName;
    } table[] = {
        {"192.168.1.50", "eth0"},
        {"192.168.2.50", ""},
        {"10.101.3.4", "eth1"},
        {"2.3.4.5", "eth1"},
        {"10.5.5.5", "eth2"},
        {"127.0.0.1", ""},
        {"::1", ""},
        {"", ""},
    };
    for (const auto& row : table)
        EXPECT_EQ(deskInterface(interfaces, QHostAddress(QString::fromLatin1(row.desk))),
                  QString::fromLatin1(row.interfaceName))
            << row.desk;
}

} // namespace
} // namespace pexlora
