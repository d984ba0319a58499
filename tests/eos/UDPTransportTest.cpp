// SPDX-License-Identifier: GPL-3.0-or-later
// The POSIX UDP transport on loopback, read through the event loop of the test.
#include "eos/UDPTransport.h"

#include "EosTestSupport.h"

#include <QCoreApplication>
#include <QThread>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pexlora {
namespace {

using namespace test;

class UDPTransportTest : public testing::Test {
protected:
    std::unique_ptr<UDPTransport> make(std::uint16_t port = 0) {
        return std::make_unique<UDPTransport>(port, [this](QByteArray data, QString ip) {
            EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
            m_received.push_back({std::move(data), std::move(ip)});
        });
    }
    const std::vector<std::pair<QByteArray, QString>>& received() const { return m_received; }
    std::size_t receivedCount() const { return m_received.size(); }

    std::unique_ptr<UDPTransport> transport;
    UDPPeer peer;

private:
    std::vector<std::pair<QByteArray, QString>> m_received;
};

TEST_F(UDPTransportTest, StartsOnceSendsToDottedAddressesAndReopensAfterClose) {
    transport = make();
    ASSERT_TRUE(transport->start().ok());
    const std::uint16_t port = transport->boundPort();
    ASSERT_NE(port, 0);
    ASSERT_TRUE(transport->start().ok());
    EXPECT_EQ(transport->boundPort(), port) << "a second start changes nothing";

    const Bytes hello = {'h', 'i'};
    transport->send(hello, QStringLiteral("localhost"), peer.port());
    transport->send(hello, QStringLiteral("127.0.0.1"), peer.port());
    const auto datagram = peer.receive();
    ASSERT_TRUE(datagram);
    EXPECT_EQ(datagram->data(), QByteArray("hi"));
    EXPECT_EQ(datagram->senderPort(), port);
    EXPECT_EQ(peer.drain(), 0) << "a host name is not a dotted address";

    peer.sendTo(port, hello);
    ASSERT_TRUE(waitFor([&] { return receivedCount() == 1; }));
    EXPECT_EQ(received()[0], (std::pair{QByteArray("hi"), QStringLiteral("127.0.0.1")}));

    transport->close();
    EXPECT_FALSE(transport->isOpen());
    transport->send(hello, QStringLiteral("127.0.0.1"), peer.port());
    EXPECT_EQ(peer.drain(), 0);

    ASSERT_TRUE(transport->start().ok());
    peer.sendTo(transport->boundPort(), hello);
    ASSERT_TRUE(waitFor([&] { return receivedCount() == 2; }));
}

TEST_F(UDPTransportTest, DeliversTheLargestDatagramWholeAndNeverAnEmptyOne) {
    transport = make();
    ASSERT_TRUE(transport->start().ok());
    Bytes largest(65507); // the most an IPv4 UDP datagram carries
    for (std::size_t i = 0; i < largest.size(); ++i)
        largest[i] = static_cast<std::uint8_t>(i * 7);
    peer.sendTo(transport->boundPort(), largest);
    peer.sendTo(transport->boundPort(), {});
    peer.sendTo(transport->boundPort(), Bytes{'x'});
    ASSERT_TRUE(waitFor([&] { return receivedCount() == 2; }));
    EXPECT_EQ(received()[0].first, QByteArray(reinterpret_cast<const char*>(largest.data()), 65507));
    EXPECT_EQ(received()[1].first, QByteArray("x"));
}

TEST_F(UDPTransportTest, AFloodIsReadABoundedNumberAtATurnAndAllOfItOverTheNextTurns) {
    transport = make();
    ASSERT_TRUE(transport->start().ok());
    constexpr int sent = UDPTransport::maxDatagramsPerTurn + 36;
    for (int i = 0; i < sent; ++i)
        peer.sendTo(transport->boundPort(), Bytes{static_cast<std::uint8_t>(i)});
    QCoreApplication::processEvents();
    EXPECT_EQ(receivedCount(), std::size_t{UDPTransport::maxDatagramsPerTurn});
    ASSERT_TRUE(waitFor([&] { return receivedCount() == std::size_t{sent}; }));
    EXPECT_EQ(received().back().first, QByteArray(1, static_cast<char>(sent - 1)));
}

TEST_F(UDPTransportTest, BindsBesideAnotherSocketThatReusesThePort) {
    const int other = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(other, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    ::setsockopt(other, SOL_SOCKET, SO_REUSEPORT, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    ASSERT_EQ(::bind(other, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ::getsockname(other, reinterpret_cast<sockaddr*>(&address), &length);
    transport = make(ntohs(address.sin_port));
    EXPECT_TRUE(transport->start().ok());
    ::close(other);

    // A port held without reuse cannot be shared: start fails and leaves it closed.
    const int exclusive = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    address.sin_port = 0;
    ASSERT_EQ(::bind(exclusive, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::getsockname(exclusive, reinterpret_cast<sockaddr*>(&address), &length);
    auto blocked = make(ntohs(address.sin_port));
    const auto started = blocked->start();
    ASSERT_FALSE(started.ok());
    EXPECT_EQ(started.error().kind, UDPTransportError::Case::bind);
    EXPECT_FALSE(blocked->isOpen());
    ::close(exclusive);
}

} // namespace
} // namespace pexlora
