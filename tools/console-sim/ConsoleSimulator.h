// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SimulatorConnection.h"
#include "SimulatorDesk.h"
#include "SimulatorSacn.h"
#include "SimulatorShow.h"
#include "osc/OSCMessage.h"
#include "util/Result.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QUdpSocket>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace pexlora::sim {

// Where the desk's sACN output goes.
struct SacnDestination {
    std::optional<QHostAddress> unicast; // nothing: each universe's group, 239.255.<high byte>.<low byte>
    std::uint16_t port = 5568;
};

struct SimulatorOptions {
    QHostAddress address{QHostAddress::LocalHost};          // where TCP is accepted
    std::uint16_t tcpPort = 3038;                           // 0: a port of the system's choice
    QHostAddress discoveryAddress{QHostAddress::LocalHost}; // 0.0.0.0 to hear broadcasts
    std::uint16_t discoveryPort = 3034;
    QString name = QStringLiteral("Pexlora Simulator (Simulator)");
    SimulatorFraming framing = SimulatorFraming::length;
    SimulatorShow show;
    DeskOptions desk;
    bool silent = false;             // reads and prints, never answers
    std::optional<int> dropAfterMs;  // closes every connection this long after accepting it
    std::optional<int> stallAfterMs; // this long after starting, stops reading and answering
    std::optional<SacnDestination> sacn;
};

// An Eos console as far as Pexlora can tell: it answers discovery requests, accepts
// OSC over TCP in one framing, prints every message it receives, and passes them to
// the desk, whose answers go to the asker, to every connection or to the subscribed ones.
// Where asked to, it sends the desk's levels as sACN.
class ConsoleSimulator : public QObject {
    Q_OBJECT

public:
    explicit ConsoleSimulator(SimulatorOptions options, QObject* parent = nullptr);

    // Binds both sockets; the error says which failed and why.
    Result<Unit, std::string> start();
    // Another show file, as loaded at the desk.
    void loadShow(SimulatorShow show);
    // A whole command line typed by the operator at the desk, Enter added where it has no
    // terminator of its own.
    void type(const std::string& line);
    // Ends the sACN streams, as a desk does when it shuts down.
    void stop();

    std::uint16_t tcpPort() const { return m_server.serverPort(); }
    std::uint16_t discoveryPort() const { return m_discovery.localPort(); }

private:
    void readDiscovery();
    void acceptConnections();
    void handleMessage(const OSCMessage& message, SimulatorConnection* connection);
    void deliver(const DeskOutput& output, SimulatorConnection* asker);
    void stall();
    void sendLevels();
    void startSacn(const SacnDestination& destination);

    SimulatorOptions m_options;
    SimulatorDesk m_desk;
    QTcpServer m_server;
    QUdpSocket m_discovery;
    QUdpSocket m_sacnSocket;
    std::unique_ptr<SimulatorSacn> m_sacn;
    bool m_sacnFailed = false; // said once, not 44 times a second
    bool m_stalled = false;
};

} // namespace pexlora::sim
