// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConsoleSimulator.h"

#include "SimulatorCommand.h"
#include "SimulatorConnection.h"
#include "SimulatorOutput.h"
#include "SimulatorUniverses.h"
#include "osc/OSCMessageEncoder.h"
#include "osc/OSCPacketDecoder.h"

#include <QNetworkDatagram>
#include <QTcpSocket>
#include <QTimer>
#include <QUuid>
#include <algorithm>

namespace pexlora::sim {

namespace {

std::string endpoint(const QHostAddress& address, std::uint16_t port) {
    return address.toString().toStdString() + ":" + std::to_string(port);
}

// The port a request names for its reply, when its first argument is one.
std::optional<std::uint16_t> requestedReplyPort(const OSCMessage& request) {
    if (request.values.empty())
        return std::nullopt;
    std::int64_t port = 0;
    if (const auto* i32 = std::get_if<std::int32_t>(&request.values[0]))
        port = *i32;
    else if (const auto* i64 = std::get_if<std::int64_t>(&request.values[0]))
        port = *i64;
    if (port < 1 || port > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(port);
}

} // namespace

ConsoleSimulator::ConsoleSimulator(SimulatorOptions options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_desk(m_options.desk, m_options.show) {
    QObject::connect(&m_discovery, &QUdpSocket::readyRead, this, &ConsoleSimulator::readDiscovery);
    QObject::connect(&m_server, &QTcpServer::newConnection, this, &ConsoleSimulator::acceptConnections);
}

Result<Unit, std::string> ConsoleSimulator::start() {
    if (!m_server.listen(m_options.address, m_options.tcpPort))
        return fail("cannot listen on TCP " + endpoint(m_options.address, m_options.tcpPort) + ": " +
                    m_server.errorString().toStdString());
    if (!m_discovery.bind(m_options.discoveryAddress, m_options.discoveryPort,
                          QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint))
        return fail("cannot bind UDP " + endpoint(m_options.discoveryAddress, m_options.discoveryPort) +
                    ": " + m_discovery.errorString().toStdString());
    if (m_options.stallAfterMs)
        QTimer::singleShot(*m_options.stallAfterMs, this, &ConsoleSimulator::stall);
    if (m_options.sacn)
        startSacn(*m_options.sacn);
    printLine("Ready: TCP " + endpoint(m_options.address, tcpPort()) + ", discovery UDP " +
              endpoint(m_options.discoveryAddress, discoveryPort()) + ", name \"" +
              m_options.name.toStdString() + "\", framing " +
              (m_options.framing == SimulatorFraming::slip ? "SLIP" : "OSC 1.0 length prefix"));
    return Unit{};
}

void ConsoleSimulator::startSacn(const SacnDestination& destination) {
    SacnSourceIdentity source;
    const QByteArray cid = QUuid::createUuid().toRfc4122();
    std::copy_n(cid.constData(), source.cid.size(), source.cid.begin());
    const auto send = [this, destination](std::uint16_t universe, std::span<const std::uint8_t> packet) {
        const QHostAddress to = destination.unicast.value_or(
            QHostAddress((239u << 24) | (255u << 16) | static_cast<std::uint32_t>(universe)));
        const qint64 sent =
            m_sacnSocket.writeDatagram(reinterpret_cast<const char*>(packet.data()),
                                       static_cast<qint64>(packet.size()), to, destination.port);
        if (sent < 0 && !std::exchange(m_sacnFailed, true))
            printLine("sACN: cannot send to " + endpoint(to, destination.port) + ": " +
                      m_sacnSocket.errorString().toStdString());
    };
    m_sacn = std::make_unique<SimulatorSacn>(EosClock::system(), this, send, source);
    sendLevels();
    printLine("sACN: levels to " +
              (destination.unicast
                   ? endpoint(*destination.unicast, destination.port)
                   : "multicast 239.255.<universe high>.<universe low>:" + std::to_string(destination.port)) +
              ", priority " + std::to_string(source.priority) + ", source \"" + source.name + "\"");
}

void ConsoleSimulator::sendLevels() {
    if (m_sacn)
        m_sacn->setLevels(universeSlots(m_desk.show().patch, m_desk.levels()));
}

void ConsoleSimulator::stop() {
    if (m_sacn)
        m_sacn->stop();
}

void ConsoleSimulator::acceptConnections() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        auto* connection = new SimulatorConnection(socket, m_options.framing, this);
        QObject::connect(connection, &SimulatorConnection::messageReceived, this,
                         &ConsoleSimulator::handleMessage);
        if (m_stalled)
            connection->stall();
        if (m_options.dropAfterMs)
            QTimer::singleShot(*m_options.dropAfterMs, connection, &SimulatorConnection::drop);
    }
}

void ConsoleSimulator::readDiscovery() {
    while (m_discovery.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_discovery.receiveDatagram();
        const QByteArray data = datagram.data();
        const std::string sender =
            endpoint(datagram.senderAddress(), static_cast<std::uint16_t>(datagram.senderPort()));
        const auto decoded =
            decodeOSCPacket(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                      static_cast<std::size_t>(data.size())),
                            OSCTextPolicy::lenientUTF8);
        const OSCMessage* request = decoded.ok() && decoded.value() ? decoded.value()->message() : nullptr;
        if (!request || request->addressPattern.rawAddress() != "/etc/discovery/request") {
            printLine("Ignored datagram of " + std::to_string(data.size()) + " bytes from " + sender);
            continue;
        }
        printLine("Discovery request from " + sender + ": " + request->description());
        const std::uint16_t replyPort =
            requestedReplyPort(*request).value_or(static_cast<std::uint16_t>(datagram.senderPort()));
        const OSCMessage reply("/etc/discovery/reply",
                               {static_cast<std::int32_t>(tcpPort()), m_options.name.toStdString()});
        const auto bytes = encodeOSC(reply);
        if (!bytes.ok())
            continue;
        m_discovery.writeDatagram(reinterpret_cast<const char*>(bytes.value().data()),
                                  static_cast<qint64>(bytes.value().size()), datagram.senderAddress(),
                                  replyPort);
        printLine("Discovery reply to " + endpoint(datagram.senderAddress(), replyPort) + ": " +
                  reply.description());
    }
}

void ConsoleSimulator::stall() {
    m_stalled = true;
    for (SimulatorConnection* connection : findChildren<SimulatorConnection*>())
        connection->stall();
    printLine("Stalled: no longer reading or answering");
}

void ConsoleSimulator::loadShow(SimulatorShow show) {
    const DeskOutput output = m_desk.load(std::move(show));
    sendLevels();
    if (!m_options.silent && !m_stalled)
        deliver(output, nullptr);
}

void ConsoleSimulator::type(const std::string& line) {
    const std::string command = isTerminated(line) ? line : line + " Enter";
    const OSCMessage message(
        OSCAddressPattern("/eos/user/" + std::to_string(SimulatorDesk::operatorUser) + "/newcmd"), {command});
    const DeskOutput output = m_desk.take(message);
    sendLevels();
    if (!m_options.silent && !m_stalled)
        deliver(output, nullptr);
}

void ConsoleSimulator::handleMessage(const OSCMessage& message, SimulatorConnection* connection) {
    printLine("Message from " + connection->peer() + ": " + message.description());
    const DeskOutput output = m_desk.take(message);
    sendLevels();
    if (output.subscribe) {
        connection->setSubscribed(*output.subscribe);
        printLine("Connection from " + connection->peer() +
                  (*output.subscribe ? " subscribed to changes" : " ended its subscription"));
    }
    if (!m_options.silent)
        deliver(output, connection);
}

void ConsoleSimulator::deliver(const DeskOutput& output, SimulatorConnection* asker) {
    if (asker)
        for (const OSCMessage& reply : output.reply)
            asker->send(reply);
    // Implicit output goes to everyone connected, the asker included.
    for (SimulatorConnection* connection : findChildren<SimulatorConnection*>()) {
        for (const OSCMessage& message : output.everyone)
            connection->send(message);
        if (connection->isSubscribed())
            for (const OSCMessage& notice : output.subscribers)
                connection->send(notice);
    }
}

} // namespace pexlora::sim
