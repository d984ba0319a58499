// SPDX-License-Identifier: GPL-3.0-or-later
// The sACN receiver on a real socket, on loopback: levels sent by the npm package sacn,
// a sender nobody here wrote, and a flood larger than one turn's reading.
#include "EosTestSupport.h"
#include "levels/SacnReceiver.h"
#include "levels/SacnUdpSocket.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace test;

// The real socket, with every group left unjoined: tests stay on loopback unicast.
class UnicastSocket final : public SacnSocket {
public:
    Result<std::uint16_t, QString> bind(std::uint16_t port) override { return m_socket.bind(port); }
    void close() override { m_socket.close(); }
    bool joinGroup(const QHostAddress&, const QString&) override { return false; }
    void leaveGroup(const QHostAddress&, const QString&) override {}
    std::optional<std::size_t> read(std::span<std::uint8_t> buffer) override { return m_socket.read(buffer); }
    void setReadyHandler(std::function<void()> handler) override {
        m_socket.setReadyHandler(std::move(handler));
    }

private:
    SacnUdpSocket m_socket;
};

std::unique_ptr<SacnReceiver> listeningReceiver(std::uint16_t universe) {
    auto receiver = std::make_unique<SacnReceiver>(EosClock::system(), SacnReceiverOptions{0},
                                                   std::make_unique<UnicastSocket>());
    EXPECT_TRUE(receiver->listen({universe}, QHostAddress(QHostAddress::LocalHost)))
        << receiver->lastError().toStdString();
    EXPECT_NE(receiver->localPort(), 0);
    return receiver;
}

const QString peers = QStringLiteral(PEXLORA_SOURCE_DIR "/tests/peers/node_modules");

// Why the npm sender cannot run here; empty when it can.
std::string senderMissing() {
    if (!toolAvailable(QStringLiteral("node")))
        return "node is not installed";
    if (!QFileInfo::exists(peers + QStringLiteral("/sacn")))
        return "the npm package sacn is not installed in tests/peers (scripts/install-deps.sh)";
    return {};
}

// Has the npm sender send a few levels on universe 7 to `destination` until the
// receiver holds them, and checks that it holds exactly those.
void expectLevelsFromTheNpmSender(SacnReceiver& receiver, const QString& destination) {
    Child sender(QStringLiteral("node"),
                 {QStringLiteral(PEXLORA_SOURCE_DIR "/tests/eos/sacn-send.js"), peers, destination,
                  QString::number(receiver.localPort()), QStringLiteral("7"), QStringLiteral("1=255"),
                  QStringLiteral("2=128"), QStringLiteral("3=1"), QStringLiteral("512=77")});
    const auto transcript = [&sender] { return sender.lines().join(QLatin1Char('\n')).toStdString(); };
    ASSERT_TRUE(sender.waitForLine(QStringLiteral("sending"))) << transcript();
    ASSERT_TRUE(waitFor([&] { return receiver.level(7, 512).has_value(); })) << transcript();
    const std::map<std::size_t, std::uint8_t> sent = {{1, 255}, {2, 128}, {3, 1}, {512, 77}};
    for (std::size_t slot = 1; slot <= 512; ++slot) {
        const auto found = sent.find(slot);
        EXPECT_EQ(receiver.level(7, slot), found == sent.end() ? 0 : found->second) << "slot " << slot;
    }
    EXPECT_EQ(receiver.summary(), (SacnReceiver::Summary{QStringLiteral("Interop sender"), 1, 1}));
}

TEST(SacnInterop, LevelsSentByTheNpmSacnSenderAreHeardExactly) {
    if (const std::string missing = senderMissing(); !missing.empty())
        GTEST_SKIP() << missing;
    const auto receiver = listeningReceiver(7);
    expectLevelsFromTheNpmSender(*receiver, QStringLiteral("127.0.0.1"));
}

// Multicast for real, on the interface of the desk's subnet: only inside a network of
// its own (loopback and one veth end, 10.99.0.1/24), so that nothing leaves the machine.
TEST(SacnInterop, LevelsSentToTheUniversesGroupAreHeardOnTheDesksInterface) {
    if (qEnvironmentVariableIsEmpty("PEXLORA_ISOLATED_NET"))
        GTEST_SKIP()
            << "multicast is tried only inside a network namespace of its own, with PEXLORA_ISOLATED_NET=1";
    if (const std::string missing = senderMissing(); !missing.empty())
        GTEST_SKIP() << missing;
    SacnReceiver receiver(EosClock::system(), SacnReceiverOptions{0});
    ASSERT_TRUE(receiver.listen({7}, QHostAddress(QStringLiteral("10.99.0.2"))))
        << receiver.lastError().toStdString();
    expectLevelsFromTheNpmSender(receiver, QStringLiteral("multicast"));
}

TEST(SacnInterop, AFloodLargerThanOneTurnIsReadTurnByTurn) {
    const auto receiver = listeningReceiver(1);
    int bursts = 0;
    QObject::connect(receiver.get(), &SacnReceiver::levelsChanged, [&bursts] { ++bursts; });
    UDPPeer peer;
    constexpr int sent = SacnReceiver::maxDatagramsPerTurn * 2 + 2;
    for (int sequence = 1; sequence <= sent; ++sequence) {
        SacnDataPacket packet;
        packet.sequence = static_cast<std::uint8_t>(sequence);
        packet.values[0] = static_cast<std::uint8_t>(sequence);
        packet.slotCount = 1;
        peer.sendTo(receiver->localPort(), sacnDatagram(packet));
    }
    ASSERT_TRUE(waitFor([&] { return receiver->level(1, 1) == sent; }))
        << "last level " << int{receiver->level(1, 1).value_or(0)};
    EXPECT_GE(bursts, 3) << "at most " << SacnReceiver::maxDatagramsPerTurn << " datagrams a turn";
}

} // namespace
} // namespace pexlora
