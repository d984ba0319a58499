// The TCP link against real peers on loopback: liblo's oscdump, and sockets of the test.
#include "EosTestSupport.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosSettings.h"
#include "osc/OSCPacketDecoder.h"
#include "osc/SLIPDecoder.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
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

// The messages in SLIP-framed bytes.
std::vector<std::string> messagesIn(const QByteArray& bytes) {
    SLIPDecoder decoder;
    std::vector<std::string> messages;
    for (const auto& frame : decoder.feed(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                                    static_cast<std::size_t>(bytes.size())))) {
        const auto decoded = decodeOSCPacket(frame);
        messages.push_back(decoded.ok() && decoded.value() && decoded.value()->message()
                               ? decoded.value()->message()->description()
                               : "undecodable");
    }
    return messages;
}

const std::vector<std::string> group12Messages = {
    R"(OSCMessage("/eos/user/91/newcmd", values: ["Record Group 12 Enter"]))",
    R"(OSCMessage("/eos/set/group/12/chans", values: ["1 > 3 7"]))",
};

class LinkTest : public testing::Test {
protected:
    std::unique_ptr<EosConnectionManager> makeManager(const std::function<void(QSettings&)>& store = {}) {
        EosConnectionConfig config;
        config.clock = clock;
        config.discovery.listenPort = 0;
        config.discovery.broadcastPort = discoveryConsole.port();
        config.discovery.destinations = [] { return std::vector<QString>{QStringLiteral("127.0.0.1")}; };
        config.discovery.clock = std::make_shared<FakeClock>(); // its timers stay out of the way
        auto settings =
            std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("Pexlora.conf")), QSettings::IniFormat);
        if (store)
            store(*settings);
        config.settings = std::move(settings);
        return std::make_unique<EosConnectionManager>(std::move(config));
    }
    bool pendingAre(std::vector<std::chrono::milliseconds> delays) {
        return waitFor([&] { return clock->pendingDelays() == delays; });
    }

    // Channels 1, 2, 3 and 7 in one group.
    GridElements elements = {{QUuid::createUuid(), {0, 0}, QStringLiteral("1")},
                             {QUuid::createUuid(), {1, 0}, QStringLiteral("2")},
                             {QUuid::createUuid(), {2, 0}, QStringLiteral("3")},
                             {QUuid::createUuid(), {3, 0}, QStringLiteral("7")}};
    SelectionGroups groups = {{elements[0].id, elements[1].id, elements[2].id, elements[3].id}};
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    UDPPeer discoveryConsole;

private:
    QTemporaryDir m_dir;
};

TEST_F(LinkTest, RecordGroupWritesExactlyTheTwoMessagesOscdumpReads) {
    if (!toolAvailable(QStringLiteral("oscdump")))
        GTEST_SKIP() << "liblo-tools (oscdump) is not installed";
    const std::uint16_t port = freeTCPPort();
    Child dump(QStringLiteral("oscdump"),
               {QStringLiteral("-L"), QStringLiteral("osc.tcp://:") + QString::number(port)});
    // Not probed with a connection of its own: liblo 0.31 loses the frames of a
    // connection accepted after an earlier one has closed.
    ASSERT_TRUE(waitFor([&] { return tcpPortListening(port); })) << "oscdump does not listen";

    auto manager = makeManager();
    int changes = 0;
    QObject::connect(manager.get(), &EosConnectionManager::isConnectedChanged, [&] { ++changes; });
    manager->connectToConsole(QStringLiteral(" 127.0.0.1 "), port);
    ASSERT_TRUE(waitFor([&] { return manager->isConnected(); }));
    EXPECT_EQ(manager->connectedIP(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(changes, 1);

    manager->recordGroup(QStringLiteral("12a"), groups, elements); // invalid number: nothing
    manager->recordGroup(QStringLiteral("5"), {}, elements);       // empty selection: nothing
    manager->recordGroup(QStringLiteral("12"), groups, elements);
    const auto first =
        dump.waitForLine([](const QString& line) { return line.contains(QLatin1String("/eos/")); });
    const auto second =
        dump.waitForLine([](const QString& line) { return line.contains(QLatin1String("/eos/")); });
    ASSERT_TRUE(first && second) << dump.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(first->endsWith(QStringLiteral("/eos/user/91/newcmd s \"Record Group 12 Enter\"")))
        << first->toStdString();
    EXPECT_TRUE(second->endsWith(QStringLiteral("/eos/set/group/12/chans s \"1 > 3 7\"")))
        << second->toStdString();
}

TEST_F(LinkTest, AClosedPortIsRetriedOnTheBackOffScheduleUntilTheUserConnectsElsewhere) {
    auto manager = makeManager();
    manager->connectToConsole(QStringLiteral("127.0.0.1"), freeTCPPort());
    ASSERT_TRUE(pendingAre({3s})) << "refused: retry in 3 s";
    for (const auto wait : {3s, 6s, 12s, 24s, 30s}) {
        clock->advance(wait);
        const auto next = std::min<std::chrono::milliseconds>(2 * wait, 30s);
        ASSERT_TRUE(pendingAre({next})) << "after waiting " << wait.count() << " ms";
        EXPECT_FALSE(manager->isConnected());
    }
    // A connect by the user cancels the pending retry and starts the schedule again.
    manager->connectToConsole(QStringLiteral("127.0.0.1"), freeTCPPort());
    ASSERT_TRUE(pendingAre({3s}));
    manager->connectToConsole(QString(), 3038);
    EXPECT_TRUE(clock->pendingDelays().empty()) << "an empty host connects nowhere and retries nothing";
}

TEST_F(LinkTest, AnAttemptThatHangsCountsAsFailedAfterTenSeconds) {
    // A listener whose backlog is full leaves further connection attempts unanswered.
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    QTcpSocket filler;
    filler.connectToHost(QHostAddress::LocalHost, ntohs(address.sin_port));
    ASSERT_TRUE(filler.waitForConnected(5000));

    auto manager = makeManager();
    manager->connectToConsole(QStringLiteral("127.0.0.1"), ntohs(address.sin_port));
    ASSERT_TRUE(pendingAre({10s}));
    QTest::qWait(200);
    EXPECT_EQ(clock->pendingDelays(), std::vector<std::chrono::milliseconds>{10s}) << "still hanging";
    clock->advance(10s);
    EXPECT_TRUE(pendingAre({3s}));
    EXPECT_FALSE(manager->isConnected());
    ::close(listener);
}

TEST_F(LinkTest, APeerThatResetsAndRestartsIsReconnectedAndNothingIsSentMeanwhile) {
    TCPPeer peer;
    auto manager = makeManager();
    manager->send(QStringLiteral("/before"), QStringLiteral("connect"));
    manager->connectToConsole(QStringLiteral("127.0.0.1"), peer.port());
    manager->send(QStringLiteral("/while"), QStringLiteral("connecting"));
    ASSERT_TRUE(waitFor([&] { return manager->isConnected(); }));
    // 12 bytes of OSC ("/ab", tags ",s", an empty string) go out as one 14-byte frame.
    manager->send(QStringLiteral("/ab"), QString());
    ASSERT_TRUE(waitFor([&] { return peer.received.size() == 14; }));
    EXPECT_EQ(peer.received, QByteArray("\xC0/ab\0,s\0\0\0\0\0\0\xC0", 14));

    const std::uint16_t port = peer.port();
    peer.reset(true);
    ASSERT_TRUE(waitFor([&] { return !manager->isConnected(); }));
    ASSERT_TRUE(pendingAre({3s}));
    manager->send(QStringLiteral("/while"), QStringLiteral("retrying"));

    TCPPeer restarted(port);
    ASSERT_EQ(restarted.port(), port);
    clock->advance(3s);
    ASSERT_TRUE(waitFor([&] { return manager->isConnected(); }));
    manager->recordGroup(QStringLiteral("12"), groups, elements);
    ASSERT_TRUE(waitFor([&] { return messagesIn(restarted.received).size() == 2; }));
    EXPECT_EQ(messagesIn(restarted.received), group12Messages) << "nothing from before the link was up";

    restarted.reset(false);
    EXPECT_TRUE(pendingAre({3s})) << "after a ready link the schedule starts again at 3 s";
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
    QTest::qWait(200);
    EXPECT_TRUE(manager->isConnected());
    EXPECT_TRUE(clock->pendingDelays().empty());
    manager->recordGroup(QStringLiteral("12"), groups, elements);
    ASSERT_TRUE(waitFor([&] { return messagesIn(second.received).size() == 2; }));
    EXPECT_TRUE(first.received.isEmpty());
}

TEST_F(LinkTest, AFailureReportedByAReplacedLinkIsIgnored) {
    TCPPeer live;
    auto manager = makeManager();
    manager->connectToConsole(QStringLiteral("127.0.0.1"), freeTCPPort());
    // The refusal is reported while the main thread is busy, so the report is still
    // queued when the user connects elsewhere, and arrives after that.
    std::this_thread::sleep_for(300ms);
    manager->connectToConsole(QStringLiteral("127.0.0.1"), live.port());
    ASSERT_TRUE(waitFor([&] { return manager->isConnected() && live.accepted == 1; }));
    QTest::qWait(100);
    EXPECT_TRUE(manager->isConnected());
    EXPECT_TRUE(clock->pendingDelays().empty()) << "no retry for the replaced link";
}

TEST_F(LinkTest, StartUpConnectsOnlyToAStoredAddress) {
    TCPPeer peer;
    {
        auto manager = makeManager([](QSettings& settings) { settings.setValue(eosIPKey, QString()); });
        QTest::qWait(100);
        EXPECT_TRUE(clock->pendingDelays().empty());
        EXPECT_EQ(peer.accepted, 0);
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
    ASSERT_TRUE(waitFor([&] { return messagesIn(console.received).size() == 2; }));
    EXPECT_EQ(messagesIn(console.received), group12Messages);
    EXPECT_TRUE(manager->isConnected());
}

} // namespace
} // namespace pexlora
