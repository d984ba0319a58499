#include "ConsoleSimulator.h"

#include "SimulatorConnection.h"
#include "SimulatorOutput.h"
#include "osc/OSCMessageEncoder.h"
#include "osc/OSCPacketDecoder.h"

#include <QNetworkDatagram>
#include <QTcpSocket>

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

// "12" from "/eos/set/group/12/chans".
std::optional<std::string> groupNumberOf(std::string_view address) {
    constexpr std::string_view prefix = "/eos/set/group/";
    constexpr std::string_view suffix = "/chans";
    if (address.size() <= prefix.size() + suffix.size() || !address.starts_with(prefix) ||
        !address.ends_with(suffix))
        return std::nullopt;
    const std::string_view number =
        address.substr(prefix.size(), address.size() - prefix.size() - suffix.size());
    if (number.find('/') != std::string_view::npos)
        return std::nullopt;
    return std::string(number);
}

} // namespace

ConsoleSimulator::ConsoleSimulator(SimulatorOptions options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options)) {
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
    printLine("Ready: TCP " + endpoint(m_options.address, tcpPort()) + ", discovery UDP " +
              endpoint(m_options.discoveryAddress, discoveryPort()) + ", name \"" +
              m_options.name.toStdString() + "\"");
    return Unit{};
}

void ConsoleSimulator::acceptConnections() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        auto* connection = new SimulatorConnection(socket, this);
        QObject::connect(connection, &SimulatorConnection::messageReceived, this,
                         &ConsoleSimulator::handleMessage);
    }
}

void ConsoleSimulator::readDiscovery() {
    while (m_discovery.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_discovery.receiveDatagram();
        const QByteArray data = datagram.data();
        const std::string sender =
            endpoint(datagram.senderAddress(), static_cast<std::uint16_t>(datagram.senderPort()));
        const auto decoded = decodeOSCPacket(std::span(
            reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())));
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

void ConsoleSimulator::handleMessage(const OSCMessage& message, const std::string& sender) {
    printLine("Message from " + sender + ": " + message.description());
    const auto group = groupNumberOf(message.addressPattern.rawAddress());
    if (!group || message.values.empty())
        return;
    const auto* channels = std::get_if<std::string>(&message.values[0]);
    if (!channels)
        return;
    m_groups[*group] = *channels;
    printLine("Group " + *group + ": " + *channels);
}

} // namespace pexlora::sim
