// SPDX-License-Identifier: GPL-3.0-or-later
// The TCP link against real peers on loopback: liblo's oscdump, and sockets of the test.
#include "EosTestSupport.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosDiscoveryManager.h"
#include "eos/EosSettings.h"
#include "eos/EosTcpLink.h"
#include "osc/OSCPacketDecoder.h"
#include "osc/SLIPDecoder.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pexlora {
namespace {

using namespace test;

// A console on 127.0.0.1 that keeps what it is sent and can drop its connections hard.
class TCPPeer {
public:
    explicit TCPPeer(std::uint16_t port = 0) { listen(port); }

    void listen(std::uint16_t port) {
        m_server.listen(QHostAddress::LocalHost, port);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                ++accepted;
                m_sockets.push_back(socket);
                QObject::connect(socket, &QTcpSocket::readyRead,
                                 [this, socket] { received += socket->readAll(); });
            }
        });
    }
    std::uint16_t port() const { return m_server.serverPort(); }
    // Closes every accepted connection with a reset, and optionally stops listening.
    // Closes every accepted connection cleanly.
    void close() {
        for (QTcpSocket* socket : m_sockets)
            socket->disconnectFromHost();
        m_sockets.clear();
    }
    void reset(bool stopListening) {
        for (QTcpSocket* socket : m_sockets) {
            const linger hard{1, 0};
            ::setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
                         sizeof hard);
            socket->abort();
        }
        m_sockets.clear();
        if (stopListening) {
            m_server.close();
            QObject::disconnect(&m_server, nullptr, nullptr, nullptr);
        }
    }

    QByteArray received;
    int accepted = 0;

private:
    QTcpServer m_server;
    std::vector<QTcpSocket*> m_sockets;
};

// The messages in SLIP-framed bytes; the link's own pings and version questions left out.
std::vector<std::string> messagesIn(const QByteArray& bytes) {
    SLIPDecoder decoder;
    std::vector<std::string> messages;
    for (const auto& frame : decoder.feed(asBytes(bytes))) {
        const auto decoded = decodeOSCPacket(frame);
        const OSCMessage* message = decoded.ok() && decoded.value() ? decoded.value()->message() : nullptr;
        if (message && (message->addressPattern.rawAddress() == "/eos/ping" ||
                        message->addressPattern.rawAddress() == "/eos/get/version"))
            continue;
        messages.push_back(message ? message->description() : "undecodable");
    }
    return messages;
}

// The recording user selects the channels and records the group, its channels are set,
// and the group is read back.
const std::vector<std::string> group12Messages = {
    R"(OSCMessage("/eos/user/91/newcmd", values: ["Chan 1 Thru 3 + 7 Enter"]))",
    R"(OSCMessage("/eos/user/91/newcmd", values: ["Record Group 12 Enter"]))",
    R"(OSCMessage("/eos/set/group/12/chans", values: ["1 > 3 7"]))",
    R"(OSCMessage("/eos/get/group/12"))",
};

class LinkTest : public testing::Test {
protected:
    // SLIP unless the test stores another choice: the peers here never answer.
    std::unique_ptr<EosConnectionManager> makeManager(const std::function<void(QSettings&)>& store = {}) {
        EosConnectionConfig config;
        config.clock = clock;
        // These peers count every message of the link.
        config.readsShowData = false;
        config.discovery.listenPort = 0;
        config.discovery.broadcastPort = discoveryConsole.port();
        config.discovery.destinations = [] { return std::vector<QString>{QStringLiteral("127.0.0.1")}; };
        config.discovery.clock = discoveryClock;
        auto settings =
            std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("Pexlora.conf")), QSettings::IniFormat);
        settings->setValue(eosFramingKey, QStringLiteral("slip"));
        if (store)
            store(*settings);
        config.settings = std::move(settings);
        return std::make_unique<EosConnectionManager>(std::move(config));
    }
    bool pendingAre(std::vector<std::chrono::milliseconds> delays) {
        return waitFor([&] { return clock->pendingDelays() == delays; });
    }
    // Whether a retry of the back-off's first step is pending.
    bool retryPending() {
        const auto delays = clock->pendingDelays();
        return std::find(delays.begin(), delays.end(), 3s) != delays.end();
    }

    // Channels 1, 2, 3 and 7 in one group.
    GridElements elements = {{QUuid::createUuid(), {0, 0}, QStringLiteral("1")},
                             {QUuid::createUuid(), {1, 0}, QStringLiteral("2")},
                             {QUuid::createUuid(), {2, 0}, QStringLiteral("3")},
                             {QUuid::createUuid(), {3, 0}, QStringLiteral("7")}};
    SelectionGroups groups = {{elements[0].id, elements[1].id, elements[2].id, elements[3].id}};
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::shared_ptr<FakeClock> discoveryClock = std::make_shared<FakeClock>();
    UDPPeer discoveryConsole;

private:
    QTemporaryDir m_dir;
};

TEST_F(LinkTest, AutomaticFramingAgainstAPeerThatNeverAnswersEndsOnSlipAndTheRecordingArrives) {
    if (!toolAvailable(QStringLiteral("oscdump")))
        GTEST_SKIP() << "liblo-tools (oscdump) is not installed";
    const std::uint16_t port = freeTCPPort();
    Child dump(QStringLiteral("oscdump"),
               {QStringLiteral("-L"), QStringLiteral("osc.tcp://:") + QString::number(port)});
    ASSERT_TRUE(waitFor([&] { return tcpPortListening(port); })) << "oscdump does not listen";
    const auto ping = [&] {
        return dump.waitForLine(
            [](const QString& line) { return line.contains(QLatin1String("/eos/ping")); });
    };

    auto manager = makeManager([](QSettings& settings) { settings.remove(eosFramingKey); });
    int changes = 0;
    QObject::connect(manager.get(), &EosConnectionManager::isConnectedChanged, [&] { ++changes; });
    manager->connectToConsole(QStringLiteral(" 127.0.0.1 "), port);
    ASSERT_TRUE(waitFor([&] { return manager->isConnected(); }));
    EXPECT_EQ(manager->connectedIP(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(manager->health(), EosConsoleHealth::settling);
    EXPECT_EQ(manager->framing(), EosFraming::slip);
    ASSERT_TRUE(ping());

    manager->recordGroup(QStringLiteral("12a"), groups, elements); // invalid number: nothing
    manager->recordGroup(QStringLiteral("5"), {}, elements);       // empty selection: nothing
    manager->recordGroup(QStringLiteral("12"), groups, elements);  // held until the framing is settled
    clock->advance(2s);
    ASSERT_TRUE(waitFor([&] { return manager->framing() == EosFraming::length; }));
    ASSERT_TRUE(ping()) << "pinged again in the other framing";
    clock->advance(2s);
    ASSERT_TRUE(waitFor([&] { return manager->framing() == EosFraming::slip; }));
    EXPECT_EQ(manager->health(), EosConsoleHealth::silent);
    EXPECT_EQ(changes, 1) << "the link stays up while the framing is being found";

    const auto first =
        dump.waitForLine([](const QString& line) { return line.contains(QLatin1String("/eos/user/")); });
    const auto second =
        dump.waitForLine([](const QString& line) { return line.contains(QLatin1String("/eos/set/")); });
    ASSERT_TRUE(first && second) << dump.lines().join(QLatin1Char('\n')).toStdString();
    const QStringList commands = dump.lines().filter(QStringLiteral("/eos/user/"));
    ASSERT_EQ(commands.size(), 2) << "sent once, in SLIP";
    EXPECT_TRUE(commands[0].endsWith(QStringLiteral("/eos/user/91/newcmd s \"Chan 1 Thru 3 + 7 Enter\"")))
        << commands[0].toStdString();
    EXPECT_TRUE(commands[1].endsWith(QStringLiteral("/eos/user/91/newcmd s \"Record Group 12 Enter\"")))
        << commands[1].toStdString();
    EXPECT_TRUE(second->endsWith(QStringLiteral("/eos/set/group/12/chans s \"1 > 3 7\"")))
        << second->toStdString();

    clock->advance(60s);
    EXPECT_TRUE(manager->isConnected()) << "a console that never answered is not dropped";
    EXPECT_EQ(manager->health(), EosConsoleHealth::silent);
}

// The back-off's schedule is in LinkStateTest.cpp; here a real refusal starts it.
TEST_F(LinkTest, AClosedPortIsRetriedUntilTheUserConnectsElsewhere) {
    auto manager = makeManager();
    manager->connectToConsole(QStringLiteral("127.0.0.1"), freeTCPPort());
    ASSERT_TRUE(pendingAre({3s})) << "refused: retry in 3 s";
    EXPECT_EQ(manager->lastFailure(), (EosLinkFailure{EosLinkFailure::Kind::refused, {}, 0ms}));
    clock->advance(3s);
    ASSERT_TRUE(pendingAre({6s})) << "refused again";
    EXPECT_FALSE(manager->isConnected());
    EXPECT_EQ(manager->health(), EosConsoleHealth::offline);
    manager->connectToConsole(QString(), 3038);
    EXPECT_TRUE(clock->pendingDelays().empty()) << "an empty host connects nowhere and retries nothing";
}

// A listener on `address` whose backlog is full, so that further connection attempts hang.
class HangingListener {
public:
    explicit HangingListener(const char* address, std::uint16_t port = 0) {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in socketAddress{};
        socketAddress.sin_family = AF_INET;
        socketAddress.sin_port = htons(port);
        inet_pton(AF_INET, address, &socketAddress.sin_addr);
        m_ok = ::bind(m_fd, reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress) == 0 &&
               ::listen(m_fd, 0) == 0;
        socklen_t length = sizeof socketAddress;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&socketAddress), &length);
        m_port = ntohs(socketAddress.sin_port);
        m_filler.connectToHost(QHostAddress(QString::fromLatin1(address)), m_port);
        m_ok = m_ok && m_filler.waitForConnected(5000);
    }
    ~HangingListener() { ::close(m_fd); }
    bool ok() const { return m_ok; }
    std::uint16_t port() const { return m_port; }

private:
    int m_fd = -1;
    std::uint16_t m_port = 0;
    bool m_ok = false;
    QTcpSocket m_filler;
};

TEST_F(LinkTest, AnAttemptThatHangsCountsAsFailedAfterTenSecondsAtEachAddress) {
    HangingListener hanging("127.0.0.1");
    ASSERT_TRUE(hanging.ok());
    auto manager = makeManager();
    manager->connectToConsole(QStringLiteral("127.0.0.1"), hanging.port());
    ASSERT_TRUE(pendingAre({10s}));
    clock->advance(10s);
    EXPECT_TRUE(pendingAre({3s}));
    EXPECT_FALSE(manager->isConnected());
    EXPECT_EQ(manager->lastFailure(), (EosLinkFailure{EosLinkFailure::Kind::timedOut, {}, 10s}));
    manager.reset();

    // A name with a silent first address: the second is tried once the first has had its ten seconds.
    QTcpServer second;
    ASSERT_TRUE(second.listen(QHostAddress(QStringLiteral("127.0.0.2")), hanging.port()));
    EosTcpLink link(EosFraming::slip, clock, 10s);
    bool ready = false;
    QObject::connect(&link, &EosTcpLink::ready, [&] { ready = true; });
    link.open({QHostAddress(QStringLiteral("127.0.0.1")), QHostAddress(QStringLiteral("127.0.0.2"))},
              hanging.port());
    ASSERT_TRUE(pendingAre({10s}));
    clock->advance(9s);
    EXPECT_TRUE(pendingAre({1s})) << "still waiting on the first address";
    EXPECT_FALSE(ready);
    clock->advance(1s);
    EXPECT_TRUE(waitFor([&] { return ready; }));
}

TEST_F(LinkTest, APeerThatResetsOrClosesIsReconnectedAndNothingIsSentMeanwhile) {
    TCPPeer peer;
    auto manager = makeManager();
    manager->send(QStringLiteral("/before"), QStringLiteral("connect"));
    manager->connectToConsole(QStringLiteral("127.0.0.1"), peer.port());
    manager->send(QStringLiteral("/while"), QStringLiteral("connecting"));
    ASSERT_TRUE(waitFor([&] { return manager->isConnected(); }));
    // 12 bytes of OSC ("/ab", tags ",s", an empty string) go out as one 14-byte frame.
    ASSERT_TRUE(waitFor([&] { return peer.received.size() == 18 + 26; }))
        << "a ping and the version question";
    peer.received.clear();
    manager->send(QStringLiteral("/ab"), QString());
    ASSERT_TRUE(waitFor([&] { return peer.received.size() == 14; }));
    EXPECT_EQ(peer.received, QByteArray("\xC0/ab\0,s\0\0\0\0\0\0\xC0", 14));

    const std::uint16_t port = peer.port();
    clock->advance(5s); // up long enough to count as a working link
    peer.reset(true);
    ASSERT_TRUE(waitFor([&] { return !manager->isConnected(); }));
    ASSERT_TRUE(pendingAre({3s}));
    EXPECT_EQ(manager->lastFailure(), (EosLinkFailure{EosLinkFailure::Kind::closedByConsole, {}, 0ms}));
    manager->send(QStringLiteral("/while"), QStringLiteral("retrying"));

    TCPPeer restarted(port);
    ASSERT_EQ(restarted.port(), port);
    clock->advance(3s);
    ASSERT_TRUE(waitFor([&] { return manager->isConnected(); }));
    manager->recordGroup(QStringLiteral("12"), groups, elements);
    ASSERT_TRUE(waitFor([&] { return messagesIn(restarted.received).size() == group12Messages.size(); }));
    EXPECT_EQ(messagesIn(restarted.received), group12Messages) << "nothing from before the link was up";

    // Closed cleanly within five seconds of opening: retried, but the back-off goes on.
    restarted.close();
    ASSERT_TRUE(waitFor([&] { return !manager->isConnected(); }));
    EXPECT_TRUE(pendingAre({6s}));
    EXPECT_EQ(manager->lastFailure(), (EosLinkFailure{EosLinkFailure::Kind::closedByConsole, {}, 0ms}));
}

TEST_F(LinkTest, DiscoveryWatchesWhileALinkIsUpAndStopsWhenItGoesDown) {
    TCPPeer peer;
    auto manager = makeManager();
    const auto requestsWithin = [&](std::chrono::milliseconds step) {
        discoveryClock->advance(step);
        return discoveryConsole.drain();
    };
    manager->connectToConsole(QStringLiteral("127.0.0.1"), peer.port());
    ASSERT_TRUE(waitFor([&] { return manager->isConnected(); }));
    EXPECT_EQ(requestsWithin(179s), 0);
    EXPECT_EQ(requestsWithin(1s), 1) << "the refresh of a link that is up";
    EXPECT_EQ(requestsWithin(6s), 2);

    // The popover opened and closed while the link is up: back to watching.
    manager->discovery().settingsOpened();
    EXPECT_EQ(requestsWithin(0s), 1);
    manager->discovery().settingsClosed();
    EXPECT_EQ(requestsWithin(6s), 2) << "the burst under way ends";
    EXPECT_EQ(requestsWithin(173s), 0) << "the refresh every 30 s stops with the popover";
    EXPECT_EQ(requestsWithin(1s), 1) << "180 s after closing";

    peer.reset(true);
    ASSERT_TRUE(waitFor([&] { return !manager->isConnected(); }));
    EXPECT_EQ(requestsWithin(10min), 0) << "no link, no popover: no discovery";
}

TEST_F(LinkTest, SwitchingConsolesKeepsTheNewLinkUp) {
    TCPPeer first;
    TCPPeer second;
    auto manager = makeManager();
    manager->connectToConsole(QStringLiteral("127.0.0.1"), first.port());
    ASSERT_TRUE(waitFor([&] { return manager->isConnected(); }));
    manager->connectToConsole(QStringLiteral("localhost"), second.port());
    ASSERT_TRUE(waitFor([&] { return manager->isConnected() && second.accepted == 1; }));
    EXPECT_EQ(manager->connectedIP(), QStringLiteral("localhost"));
    first.reset(true); // the replaced link ending changes nothing
    manager->recordGroup(QStringLiteral("12"), groups, elements);
    ASSERT_TRUE(waitFor([&] { return messagesIn(second.received).size() == group12Messages.size(); }));
    EXPECT_TRUE(manager->isConnected());
    EXPECT_FALSE(manager->retryAt()) << "the recording's question waits, no retry";
    EXPECT_TRUE(messagesIn(first.received).empty());
}

TEST_F(LinkTest, AFailureReportedByAReplacedLinkIsIgnored) {
    TCPPeer live;
    auto manager = makeManager();
    // Both on this thread: the refusal of the first attempt can only be reported once
    // this returns to the event loop, after the user has connected elsewhere.
    manager->connectToConsole(QStringLiteral("127.0.0.1"), freeTCPPort());
    manager->connectToConsole(QStringLiteral("127.0.0.1"), live.port());
    ASSERT_TRUE(waitFor([&] { return manager->isConnected() && live.accepted == 1; }));
    EXPECT_FALSE(retryPending()) << "no retry for the replaced link";
}

TEST_F(LinkTest, StartUpConnectsOnlyToAStoredAddress) {
    TCPPeer peer;
    {
        auto manager = makeManager([](QSettings& settings) { settings.setValue(eosIPKey, QString()); });
        EXPECT_FALSE(manager->connectionTarget());
        EXPECT_TRUE(clock->pendingDelays().empty());
    }
    auto manager = makeManager([&](QSettings& settings) {
        settings.setValue(eosIPKey, QStringLiteral("127.0.0.1 "));
        settings.setValue(eosPortKey, QStringLiteral("+") + QString::number(peer.port()));
    });
    ASSERT_TRUE(waitFor([&] { return manager->isConnected() && peer.accepted == 1; }));
    EXPECT_EQ(manager->settings().value(eosIPKey).toString(), QStringLiteral("127.0.0.1 "))
        << "stored as typed";
}

// Keeps writing as long as its data is taken off the wire, and keeps what it is sent.
class TalkativeConsole {
public:
    TalkativeConsole() {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = m_server.nextPendingConnection();
            const auto talk = [this, socket] {
                while (socket->bytesToWrite() < m_chunk.size())
                    socket->write(m_chunk);
            };
            QObject::connect(socket, &QTcpSocket::bytesWritten, [this, talk](qint64 bytes) {
                written += static_cast<std::size_t>(bytes);
                talk();
            });
            QObject::connect(socket, &QTcpSocket::readyRead,
                             [this, socket] { received += socket->readAll(); });
            talk();
        });
    }
    std::uint16_t port() const { return m_server.serverPort(); }

    std::size_t written = 0; // taken by the kernel
    QByteArray received;

private:
    QTcpServer m_server;
    const QByteArray m_chunk{64 * 1024, '\xC0'}; // SLIP ENDs, should anything try to parse them
};

TEST_F(LinkTest, AConsoleThatTalksNeverFillsTheBuffersOrStallsTheLink) {
    TalkativeConsole console;
    auto manager = makeManager();
    manager->connectToConsole(QStringLiteral("127.0.0.1"), console.port());
    ASSERT_TRUE(waitFor([&] { return manager->isConnected(); }));
    // Far more than every socket buffer on the way can hold: it is being read.
    ASSERT_TRUE(waitFor([&] { return console.written > std::size_t{64} << 20; }, 60s))
        << "the console could write only " << console.written << " bytes";
    manager->recordGroup(QStringLiteral("12"), groups, elements);
    ASSERT_TRUE(waitFor([&] { return messagesIn(console.received).size() == group12Messages.size(); }));
    EXPECT_EQ(messagesIn(console.received), group12Messages);
    EXPECT_TRUE(manager->isConnected());
}

} // namespace
} // namespace pexlora
