#pragma once

#include "osc/OSCMessage.h"
#include "util/Result.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QUdpSocket>
#include <cstdint>
#include <map>
#include <string>

namespace pexlora::sim {

struct SimulatorOptions {
    QHostAddress address{QHostAddress::LocalHost};          // where TCP is accepted
    std::uint16_t tcpPort = 3038;                           // 0: a port of the system's choice
    QHostAddress discoveryAddress{QHostAddress::LocalHost}; // 0.0.0.0 to hear broadcasts
    std::uint16_t discoveryPort = 3034;
    QString name = QStringLiteral("Pexlora Simulator (Simulator)");
};

// An Eos console as far as Pexlora can tell: it answers discovery requests, accepts
// OSC over TCP, prints every message it receives and keeps the groups it is sent.
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
    void handleMessage(const OSCMessage& message, const std::string& sender);

    SimulatorOptions m_options;
    QTcpServer m_server;
    QUdpSocket m_discovery;
    std::map<std::string, std::string> m_groups; // group number → channel list
};

} // namespace pexlora::sim
