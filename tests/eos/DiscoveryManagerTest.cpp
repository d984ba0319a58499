// SPDX-License-Identifier: GPL-3.0-or-later
// Discovery on loopback: the console is a UDP socket of the test, time is a fake clock.
#include "EosTestSupport.h"
#include "eos/EosDiscoveryManager.h"
#include "osc/OSCPacketDecoder.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

namespace pexlora {
namespace {

using namespace test;

class DiscoveryTest : public testing::Test {
protected:
    DiscoveryTest() {
        EosDiscoveryConfig config;
        config.listenPort = 0;
        config.broadcastPort = console.port();
        config.destinations = [] { return std::vector<QString>{QStringLiteral("127.0.0.1")}; };
        config.clock = clock;
        discovery = std::make_unique<EosDiscoveryManager>(config);
    }

    // Runs the timers due within `step` and counts the requests they sent.
    int advance(std::chrono::milliseconds step) {
        clock->advance(step);
        return console.drain();
    }
    // Opens the popover and returns the port replies go to, read from the first request.
    std::uint16_t openAndReadReplyPort() {
        discovery->settingsOpened();
        clock->advance(0ms);
        const auto request = console.receive();
        if (!request)
            return 0;
        const auto decoded = decodeOSCPacket(asBytes(request->data()));
        if (!decoded.ok() || !decoded.value() || !decoded.value()->message())
            return 0;
        const OSCMessage& message = *decoded.value()->message();
        EXPECT_EQ(request->data().size(), 40);
        EXPECT_EQ(message.addressPattern.rawAddress(), "/etc/discovery/request");
        EXPECT_EQ(message.values.size(), 2u);
        EXPECT_EQ(message.values[1], OSCValue("Pexlora"));
        EXPECT_EQ(request->senderPort(), std::get<std::int32_t>(message.values[0]));
        return static_cast<std::uint16_t>(request->senderPort());
    }
    // Whether nothing is bound to the UDP port any more.
    static bool portIsFree(std::uint16_t port) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        const bool free = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return free;
    }
    std::vector<QString> names() const {
        std::vector<QString> result;
        for (const auto& host : discovery->discoveredHosts())
            result.push_back(host.name);
        return result;
    }
    void settle() { QCoreApplication::processEvents(); }

    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    UDPPeer console;
    std::unique_ptr<EosDiscoveryManager> discovery;
};

TEST_F(DiscoveryTest, BrowsingSendsBurstsAtZeroThreeAndSixSecondsEveryThirtySeconds) {
    const std::uint16_t replyPort = openAndReadReplyPort();
    ASSERT_NE(replyPort, 0);
    EXPECT_EQ(advance(2999ms), 0);
    EXPECT_EQ(advance(1ms), 1); // 3 s
    EXPECT_EQ(advance(3s), 1);  // 6 s
    EXPECT_EQ(advance(23999ms), 0);
    EXPECT_EQ(advance(1ms), 1); // 30 s
    EXPECT_EQ(advance(3s), 1);
    EXPECT_EQ(advance(3s), 1);
    EXPECT_EQ(advance(30s), 3); // 60, 63 and 66 s
    discovery->settingsClosed();
    EXPECT_TRUE(portIsFree(replyPort)) << "with no link up, closing the popover closes the socket";
    EXPECT_EQ(advance(10min), 0);
}

TEST_F(DiscoveryTest, ReopeningDuringABurstStartsNoSecondBurst) {
    ASSERT_NE(openAndReadReplyPort(), 0);
    EXPECT_EQ(advance(1s), 0);
    discovery->settingsClosed();
    discovery->settingsOpened();
    // The first burst's remaining steps find the socket closed; the refresh restarted at 1 s.
    EXPECT_EQ(advance(29999ms), 0);
    EXPECT_EQ(advance(1ms), 1); // 31 s
    EXPECT_EQ(advance(3s), 1);
}

TEST_F(DiscoveryTest, WatchingALinkSendsABurstEveryThreeMinutes) {
    discovery->setHasConnection(true);
    EXPECT_EQ(advance(179999ms), 0);
    EXPECT_EQ(advance(1ms), 1);
    EXPECT_EQ(advance(6s), 2);
    EXPECT_EQ(advance(180s - 6s), 1);
    discovery->setHasConnection(false);
    EXPECT_EQ(advance(10min), 0);
}

TEST_F(DiscoveryTest, RepliesFromAnyPeerListTheConsolesAndSilentOnesArePruned) {
    if (!toolAvailable(QStringLiteral("oscsend")))
        GTEST_SKIP() << "liblo-tools (oscsend) is not installed";
    const std::uint16_t replyPort = openAndReadReplyPort();
    ASSERT_NE(replyPort, 0);
    QThread* publishedOn = nullptr;
    QObject::connect(discovery.get(), &EosDiscoveryManager::discoveredHostsChanged,
                     [&] { publishedOn = QThread::currentThread(); });

    const QString target = QStringLiteral("osc.udp://127.0.0.1:") + QString::number(replyPort);
    ASSERT_EQ(QProcess::execute(QStringLiteral("oscsend"),
                                {target, QStringLiteral("/etc/discovery/reply"), QStringLiteral("is"),
                                 QStringLiteral("3037"), QStringLiteral("Console A (Eos Ti)")}),
              0);
    ASSERT_TRUE(waitFor([&] { return discovery->discoveredHosts().size() == 1; }));
    EXPECT_EQ(discovery->discoveredHosts()[0],
              (EosDiscoveredHost{QStringLiteral("osc:127.0.0.1:3037"), QStringLiteral("127.0.0.1"),
                                 QStringLiteral("Console A"), QStringLiteral("Eos Ti"),
                                 EosSessionState::unknown, 3037}));
    EXPECT_EQ(publishedOn, QCoreApplication::instance()->thread());

    // A second port of the same address is a second console; a UTF-8 name only the lenient raw read takes.
    Bytes utf8Reply;
    appendOSCString(utf8Reply, "/etc/discovery/reply");
    appendOSCString(utf8Reply, ",is");
    utf8Reply.insert(utf8Reply.end(), {0x00, 0x00, 0x0B, 0xDF}); // 3039
    appendOSCString(utf8Reply, "B\xC3\xBChne 1");
    console.sendTo(replyPort, utf8Reply);
    ASSERT_TRUE(waitFor([&] { return names().size() == 2; }));
    EXPECT_EQ(names(), (std::vector<QString>{QString::fromUtf8("Bühne 1"), QStringLiteral("Console A")}));

    // The same console renamed replaces its entry; a bad reply changes nothing.
    console.sendTo(replyPort, encoded(OSCMessage("/etc/discovery/reply", {3037, "Alpha Desk"})));
    console.sendTo(replyPort, encoded(OSCMessage("/etc/discovery/reply", {0, "Zero"})));
    ASSERT_TRUE(waitFor([&] { return names().front() == QStringLiteral("Alpha Desk"); }));
    settle();
    EXPECT_EQ(names(), (std::vector<QString>{QStringLiteral("Alpha Desk"), QString::fromUtf8("Bühne 1")}));

    // Heard at 0 s: still listed at 420 s, gone at the first pruning after that (426 s, end of a burst).
    advance(420s);
    settle();
    EXPECT_EQ(discovery->discoveredHosts().size(), 2u);
    advance(6s);
    EXPECT_TRUE(waitFor([&] { return discovery->discoveredHosts().empty(); }));
}

TEST_F(DiscoveryTest, AFloodOfBadAndSpoofedRepliesLeavesDiscoveryResponsiveAndBounded) {
    const std::uint16_t replyPort = openAndReadReplyPort();
    ASSERT_NE(replyPort, 0);
    std::mt19937 random(20240611);
    const Bytes valid = encoded(OSCMessage("/etc/discovery/reply", {3037, "Spoof"}));
    for (int i = 0; i < 100'000; ++i) {
        Bytes junk;
        if (i % 2 == 0) {
            junk.resize(1 + random() % 96);
            for (auto& byte : junk)
                byte = static_cast<std::uint8_t>(random());
        } else {
            // Truncated or corrupted replies, close to the real thing.
            junk = valid;
            junk.resize(random() % valid.size());
            if (!junk.empty())
                junk[random() % junk.size()] ^= static_cast<std::uint8_t>(1 + random() % 255);
        }
        console.sendTo(replyPort, junk);
    }
    for (int i = 0; i < 10'000; ++i)
        console.sendTo(replyPort,
                       encoded(OSCMessage("/etc/discovery/reply", {1 + i, "Spoof " + std::to_string(i)})));

    // The kernel drops what does not fit its buffer, so the console answers as a real one
    // does, again and again, until it is heard.
    const auto listed = [&] {
        const auto& hosts = discovery->discoveredHosts();
        return std::any_of(hosts.begin(), hosts.end(),
                           [](const auto& host) { return host.name == QStringLiteral("Real Console"); });
    };
    const Bytes real = encoded(OSCMessage("/etc/discovery/reply", {3038, "Real Console"}));
    bool heard = false;
    for (int attempt = 0; attempt < 300 && !heard; ++attempt) {
        console.sendTo(replyPort, real);
        heard = waitFor(listed, 100ms);
    }
    ASSERT_TRUE(heard) << "a real reply after the flood got through";
    EXPECT_LE(discovery->discoveredHosts().size(), EosHostTable::defaultCapacity);
    discovery->settingsClosed();
    EXPECT_TRUE(portIsFree(replyPort));
}

} // namespace
} // namespace pexlora
