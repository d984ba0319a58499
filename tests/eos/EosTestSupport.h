// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosClock.h"
#include "osc/OSCMessage.h"
#include "sacn/SacnPacket.h"

#include <QNetworkDatagram>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QUdpSocket>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pexlora::test {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// Time that moves only when a test says so. Each due timer runs on its context's
// thread, and advance() returns once it has, so what a timer sends has been sent.
class FakeClock final : public EosClock {
public:
    std::chrono::milliseconds now() const override;
    std::unique_ptr<EosTimer> startOnce(QObject* context, std::chrono::milliseconds delay,
                                        std::function<void()> task) override;
    std::unique_ptr<EosTimer> startRepeating(QObject* context, std::chrono::milliseconds period,
                                             std::function<void()> task) override;

    // Runs every timer that falls due within `step`, in order of due time.
    void advance(std::chrono::milliseconds step);
    // From now to each pending timer, ascending.
    std::vector<std::chrono::milliseconds> pendingDelays() const;

    struct Entry;

private:
    std::unique_ptr<EosTimer> start(QObject* context, std::chrono::milliseconds delay,
                                    std::chrono::milliseconds period, std::function<void()> task);

    mutable std::mutex m_mutex;
    std::chrono::milliseconds m_now{0};
    std::uint64_t m_sequence = 0;
    std::vector<std::shared_ptr<Entry>> m_entries;
};

// Processes events until `predicate` holds or `timeout` passes; whether it held.
bool waitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout = 10s);

// A UDP socket on 127.0.0.1, port of the system's choice.
class UDPPeer {
public:
    UDPPeer() { m_socket.bind(QHostAddress::LocalHost, 0); }
    std::uint16_t port() const { return m_socket.localPort(); }
    void sendTo(std::uint16_t port, std::span<const std::uint8_t> bytes) {
        m_socket.writeDatagram(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()),
                               QHostAddress::LocalHost, port);
    }
    // The next datagram; with a zero timeout only one already waiting.
    std::optional<QNetworkDatagram> receive(std::chrono::milliseconds timeout = 5s);
    // How many datagrams are waiting right now (they are consumed).
    int drain();

private:
    QUdpSocket m_socket;
};

// A 127.0.0.1 port that was free a moment ago.
std::uint16_t freeTCPPort();
// Whether some socket of this machine listens on the TCP port (read from /proc/net, without connecting).
bool tcpPortListening(std::uint16_t port);

// A program whose output lines are read as they come; killed when this goes away.
class Child {
public:
    Child(const QString& program, const QStringList& arguments);
    ~Child();
    // The first new line for which `matches` holds; every line read is kept in lines().
    std::optional<QString> waitForLine(const std::function<bool(const QString&)>& matches,
                                       std::chrono::milliseconds timeout = 10s);
    std::optional<QString> waitForLine(const QString& prefix, std::chrono::milliseconds timeout = 10s) {
        return waitForLine([&](const QString& line) { return line.startsWith(prefix); }, timeout);
    }
    const QStringList& lines() const { return m_lines; }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
    QStringList m_lines;
};

// The console simulator with the given extra arguments, once it has said it is ready;
// its TCP and UDP ports are read from that line.
struct Simulator {
    std::unique_ptr<Child> child;
    std::uint16_t tcpPort = 0;
    std::uint16_t discoveryPort = 0;
};
std::optional<Simulator> startSimulator(const QStringList& arguments);

bool toolAvailable(const QString& name);

// An OSC string as it is written: the bytes, then one to four zero bytes.
void appendOSCString(Bytes& bytes, std::string_view string);

Bytes encoded(const OSCMessage& message);

// `packet` as an E1.31 data packet on the wire.
Bytes sacnDatagram(const SacnDataPacket& packet);

inline std::span<const std::uint8_t> asBytes(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())};
}

} // namespace pexlora::test
