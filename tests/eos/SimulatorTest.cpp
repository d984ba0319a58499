// SPDX-License-Identifier: GPL-3.0-or-later
// pexlora-console-sim as the console: discovery on loopback and groups over the link.
#include "EosTestSupport.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosDiscoveryManager.h"
#include "osc/OSCPacketDecoder.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace test;

const QStringList anyPorts = {QStringLiteral("--tcp-port"), QStringLiteral("0"),
                              QStringLiteral("--discovery-port"), QStringLiteral("0")};

TEST(Simulator, AnswersDiscoveryOnThePortTheRequestNames) {
    auto simulator = startSimulator(anyPorts);
    ASSERT_TRUE(simulator) << "the simulator did not start";
    UDPPeer requester;
    UDPPeer replyTo;
    requester.sendTo(simulator->discoveryPort,
                     encoded(OSCMessage("/etc/discovery/request", {replyTo.port(), "Test"})));
    const auto reply = replyTo.receive();
    ASSERT_TRUE(reply);
    const auto decoded = decodeOSCPacket(asBytes(reply->data()));
    ASSERT_TRUE(decoded.ok() && decoded.value() && decoded.value()->message());
    EXPECT_EQ(decoded.value()->message()->description(),
              OSCMessage("/etc/discovery/reply",
                         {static_cast<std::int32_t>(simulator->tcpPort), "Pexlora Simulator (Simulator)"})
                  .description());

    // Without a port in the request the reply goes back to where it came from.
    requester.sendTo(simulator->discoveryPort, encoded(OSCMessage("/etc/discovery/request", {})));
    EXPECT_TRUE(requester.receive());
    EXPECT_EQ(replyTo.drain(), 0);

    // And discovery lists it.
    EosDiscoveryConfig config;
    config.listenPort = 0;
    config.broadcastPort = simulator->discoveryPort;
    config.destinations = [] { return std::vector<QString>{QStringLiteral("127.0.0.1")}; };
    EosDiscoveryManager discovery(config);
    discovery.settingsOpened();
    ASSERT_TRUE(waitFor([&] { return !discovery.discoveredHosts().empty(); }));
    EXPECT_EQ(discovery.discoveredHosts().front(),
              (EosDiscoveredHost{QStringLiteral("osc:127.0.0.1:") + QString::number(simulator->tcpPort),
                                 QStringLiteral("127.0.0.1"), QStringLiteral("Pexlora Simulator"),
                                 QStringLiteral("Simulator"), EosSessionState::unknown, simulator->tcpPort}));
}

TEST(Simulator, PrintsTheGroupsItIsSentInEitherFraming) {
    auto simulator = startSimulator(anyPorts);
    ASSERT_TRUE(simulator) << "the simulator did not start";
    QTemporaryDir dir;
    EosConnectionConfig config;
    config.discovery.listenPort = 0;
    config.discovery.destinations = [] { return std::vector<QString>{QStringLiteral("127.0.0.1")}; };
    config.settings =
        std::make_unique<QSettings>(dir.filePath(QStringLiteral("Pexlora.conf")), QSettings::IniFormat);
    EosConnectionManager manager(std::move(config));
    manager.connectToConsole(QStringLiteral("127.0.0.1"), simulator->tcpPort);
    ASSERT_TRUE(waitFor([&] { return manager.isConnected(); }));

    GridElements elements;
    std::vector<QUuid> group;
    for (const char* number : {"1", "2", "3", "7"}) {
        elements.push_back({QUuid::createUuid(),
                            {static_cast<std::int64_t>(elements.size()), 0},
                            QString::fromUtf8(number)});
        group.push_back(elements.back().id);
    }
    manager.recordGroup(QStringLiteral("12"), {group}, elements);
    const auto line = simulator->child->waitForLine(QStringLiteral("Group "));
    ASSERT_TRUE(line);
    EXPECT_EQ(*line, QStringLiteral("Group 12: 1 > 3 7"));
    const QStringList& lines = simulator->child->lines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString& printed) {
        return printed.endsWith(
            QStringLiteral(R"(OSCMessage("/eos/user/91/newcmd", values: ["Record Group 12 Enter"]))"));
    })) << lines.join(QLatin1Char('\n')).toStdString();

    if (!toolAvailable(QStringLiteral("oscsend")))
        GTEST_SKIP() << "liblo-tools (oscsend) is not installed";
    // liblo sends length-prefixed packets over TCP.
    QProcess::execute(QStringLiteral("oscsend"),
                      {QStringLiteral("osc.tcp://127.0.0.1:") + QString::number(simulator->tcpPort),
                       QStringLiteral("/eos/set/group/5/chans"), QStringLiteral("s"),
                       QStringLiteral("1 > 2")});
    const auto second = simulator->child->waitForLine(QStringLiteral("Group "));
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, QStringLiteral("Group 5: 1 > 2"));
}

} // namespace
} // namespace pexlora
