// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SimulatorConnection.h"
#include "osc/OSCMessage.h"
#include "util/Result.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QUdpSocket>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pexlora::sim {

struct SimulatorOptions {
    QHostAddress address{QHostAddress::LocalHost};          // where TCP is accepted
    std::uint16_t tcpPort = 3038;                           // 0: a port of the system's choice
    QHostAddress discoveryAddress{QHostAddress::LocalHost}; // 0.0.0.0 to hear broadcasts
    std::uint16_t discoveryPort = 3034;
    QString name = QStringLiteral("Pexlora Simulator (Simulator)");
    SimulatorFraming framing = SimulatorFraming::automatic;
    std::vector<int> patch;            // channels, one part each, in patch order
    bool silent = false;               // reads and prints, never answers
    std::optional<int> dropAfterMs;    // closes every connection this long after accepting it
    std::optional<int> stallAfterMs;   // this long after starting, stops reading and answering
    std::optional<int> losePatchReply; // never answers this patch index
};

// An Eos console as far as Pexlora can tell: it answers discovery requests, accepts
// OSC over TCP, prints every message it receives and keeps the groups it is sent; it
// answers pings and version and patch questions, echoes command lines and names the
// channels a command or a recorded group selects.
class ConsoleSimulator : public QObject {
    Q_OBJECT

public:
    explicit ConsoleSimulator(SimulatorOptions options, QObject* parent = nullptr);

    // Binds both sockets; the error says which failed and why.
    Result<Unit, std::string> start();

    std::uint16_t tcpPort() const { return m_server.serverPort(); }
    std::uint16_t discoveryPort() const { return m_discovery.localPort(); }

private:
    void readDiscovery();
    void acceptConnections();
    void handleMessage(const OSCMessage& message, SimulatorConnection* connection);
    void answer(const OSCMessage& message, SimulatorConnection& connection);
    void answerPatchIndex(std::string_view index, SimulatorConnection& connection);
    void stall();

    SimulatorOptions m_options;
    QTcpServer m_server;
    QUdpSocket m_discovery;
    std::map<std::string, std::string> m_groups; // group number → channel list
    bool m_stalled = false;
};

} // namespace pexlora::sim
