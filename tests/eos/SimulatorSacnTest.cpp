// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's sACN output: paced on a fake clock, and read on loopback by a
// receiver nobody here wrote.
#include "EosTestSupport.h"
#include "SimulatorSacn.h"
#include "sacn/SacnPacket.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <vector>

namespace pexlora {
namespace {

using namespace test;
using sim::SimulatorSacn;
using sim::UniverseSlots;

struct Sent {
    std::chrono::milliseconds at;
    SacnDataPacket packet;
};

// The packets of one universe from `from` on; ended streams only when asked for.
std::vector<Sent> of(const std::vector<Sent>& sent, std::uint16_t universe, std::size_t from = 0,
                     bool terminated = false) {
    std::vector<Sent> result;
    for (std::size_t i = from; i < sent.size(); ++i)
        if (sent[i].packet.universe == universe && sent[i].packet.terminated == terminated)
            result.push_back(sent[i]);
    return result;
}

TEST(SimulatorSacn, FastWhileLevelsChangeOnceASecondWhenSteadyAndEachStreamEnded) {
    auto clock = std::make_shared<FakeClock>();
    QObject context;
    std::vector<Sent> sent;
    SimulatorSacn sacn(clock, &context,
                       [&](std::uint16_t universe, std::span<const std::uint8_t> bytes) {
                           const auto packet = readSacnPacket(bytes);
                           ASSERT_TRUE(packet);
                           EXPECT_EQ(packet->universe, universe);
                           sent.push_back({clock->now(), *packet});
                       },
                       {});
    UniverseSlots universes{{1, {}}, {7, {}}};
    sacn.setLevels(universes);

    // Universe 1 changes every 10 ms for a second; universe 7 stays as it is.
    for (int step = 1; step <= 100; ++step) {
        universes[1][0] = static_cast<std::uint8_t>(step);
        sacn.setLevels(universes);
        clock->advance(10ms);
    }
    const auto changing = of(sent, 1);
    EXPECT_GE(changing.size(), 43u);
    EXPECT_LE(changing.size(), 44u);
    EXPECT_LE(of(sent, 7).size(), 5u) << "its first packet, and three more";

    // Both steady for ten seconds: three more packets after the change, then one a second.
    const std::size_t steadyFrom = sent.size();
    clock->advance(10s);
    for (const std::uint16_t universe : {1, 7}) {
        const auto steady = of(sent, universe, steadyFrom);
        ASSERT_GE(steady.size(), 10u) << universe;
        EXPECT_LE(steady.size(), 14u) << universe;
        for (std::size_t i = steady.size() - 8; i < steady.size(); ++i) {
            EXPECT_GE(steady[i].at - steady[i - 1].at, 1000ms) << universe;
            EXPECT_LE(steady[i].at - steady[i - 1].at, 1000ms + SimulatorSacn::tick) << universe;
        }
    }

    // A change goes out on the next tick.
    universes[1][511] = 255;
    sacn.setLevels(universes);
    clock->advance(SimulatorSacn::tick);
    EXPECT_EQ(int{sent.back().packet.levels()[511]}, 255);

    // A universe leaving the patch ends at once; then the desk quits.
    const std::size_t endFrom = sent.size();
    sacn.setLevels({{1, universes[1]}});
    EXPECT_EQ(of(sent, 7, endFrom, true).size(), 3u);
    sacn.stop();
    EXPECT_EQ(of(sent, 1, endFrom, true).size(), 3u);
    const std::size_t stopped = sent.size();
    clock->advance(5s);
    sacn.setLevels(universes);
    clock->advance(5s);
    EXPECT_EQ(sent.size(), stopped) << "nothing after the end";

    // Each universe counts its own packets, the ending ones too.
    for (const std::uint16_t universe : {1, 7}) {
        std::vector<Sent> all = of(sent, universe);
        const auto ends = of(sent, universe, endFrom, true);
        all.insert(all.end(), ends.begin(), ends.end());
        for (std::size_t i = 1; i < all.size(); ++i)
            EXPECT_EQ(static_cast<std::uint8_t>(all[i - 1].packet.sequence + 1), all[i].packet.sequence)
                << universe << " packet " << i;
    }
}

TEST(SimulatorSacn, AnIndependentReceiverReadsTheLevelsTypedAtTheDeskAndTheEnd) {
    const QString peers = QStringLiteral(PEXLORA_TEST_PEERS);
    if (!toolAvailable(QStringLiteral("node")))
        GTEST_SKIP() << "node is not installed";
    if (!QFileInfo::exists(peers + QStringLiteral("/node_modules/sacn")))
        GTEST_SKIP() << "the npm package sacn is not installed in tests/peers (scripts/install-deps.sh)";
    // Channels 1-6 of the demo rig are on the FOH truss, at slots 1-6 of universe 1.
    Child receiver(QStringLiteral("node"), {peers + QStringLiteral("/sacn-receive.js"), QStringLiteral("1"),
                                            QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("6")});
    const auto listening = receiver.waitForLine(QStringLiteral("listening "));
    ASSERT_TRUE(listening) << receiver.lines().join(u'\n').toStdString();
    const QString port = listening->section(u' ', 1);

    auto simulator =
        startSimulator({QStringLiteral("--tcp-port"), QStringLiteral("0"), QStringLiteral("--discovery-port"),
                        QStringLiteral("0"), QStringLiteral("--sacn"), QStringLiteral("127.0.0.1"),
                        QStringLiteral("--sacn-port"), port});
    ASSERT_TRUE(simulator) << "the simulator did not start";
    simulator->child->process().write("Chan 1 Thru 5 At 75\n");
    const auto levels = receiver.waitForLine(
        [](const QString& line) { return line.contains(QStringLiteral("1=191/75% 5=191/75% 6=0/0%")); });
    ASSERT_TRUE(levels) << receiver.lines().join(u'\n').toStdString();
    EXPECT_TRUE(
        levels->startsWith(QStringLiteral("universe 1 priority 100 source \"Eos (Pexlora simulator)\"")))
        << levels->toStdString();

    simulator->child->process().terminate();
    EXPECT_TRUE(receiver.waitForLine(QStringLiteral("terminated universe 1")))
        << receiver.lines().join(u'\n').toStdString();
    for (const QString& line : receiver.lines())
        EXPECT_FALSE(line.startsWith(QStringLiteral("error")) || line.startsWith(QStringLiteral("corrupt")) ||
                     line.startsWith(QStringLiteral("out-of-order")))
            << line.toStdString();
}

} // namespace
} // namespace pexlora
