// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConsoleSimulator.h"

#include "SimulatorConnection.h"
#include "SimulatorOutput.h"
#include "osc/OSCMessageEncoder.h"
#include "osc/OSCPacketDecoder.h"

#include <QNetworkDatagram>
#include <QTcpSocket>
#include <QTimer>
#include <charconv>

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

// The text of a command line message, for the addresses a desk takes commands on.
std::optional<std::string> commandText(const OSCMessage& message) {
    const std::string_view address = message.addressPattern.rawAddress();
    const bool command =
        address == "/eos/newcmd" || address == "/eos/cmd" ||
        (address.starts_with("/eos/user/") && (address.ends_with("/newcmd") || address.ends_with("/cmd")));
    if (!command || message.values.empty())
        return std::nullopt;
    const auto* text = std::get_if<std::string>(&message.values[0]);
    return text ? std::optional(*text) : std::nullopt;
}

std::vector<std::string> words(std::string_view text) {
    std::vector<std::string> result;
    std::string word;
    for (const char c : text) {
        if (c == ' ' || c == '(' || c == ')' || c == ',') {
            if (!word.empty())
                result.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        result.push_back(word);
    return result;
}

// The desk's way of naming channels, "1-3, 7", from Pexlora's "1 > 3 7" or a command's "1 Thru 3 + 7".
std::string activeChannelText(std::string_view channels) {
    std::string text;
    bool range = false;
    for (const std::string& word : words(channels)) {
        if (word == ">" || word == "Thru" || word == "thru") {
            range = true;
            continue;
        }
        if (word == "+" || word == "Enter" || word == "#")
            continue;
        if (range)
            text += "-";
        else if (!text.empty())
            text += ", ";
        text += word;
        range = false;
    }
    return text;
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
    if (m_options.stallAfterMs)
        QTimer::singleShot(*m_options.stallAfterMs, this, &ConsoleSimulator::stall);
    printLine("Ready: TCP " + endpoint(m_options.address, tcpPort()) + ", discovery UDP " +
              endpoint(m_options.discoveryAddress, discoveryPort()) + ", name \"" +
              m_options.name.toStdString() + "\"");
    return Unit{};
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

void ConsoleSimulator::handleMessage(const OSCMessage& message, SimulatorConnection* connection) {
    printLine("Message from " + connection->peer() + ": " + message.description());
    if (!m_options.silent)
        answer(message, *connection);
    const auto group = groupNumberOf(message.addressPattern.rawAddress());
    if (!group || message.values.empty())
        return;
    const auto* channels = std::get_if<std::string>(&message.values[0]);
    if (!channels)
        return;
    m_groups[*group] = *channels;
    printLine("Group " + *group + ": " + *channels);
    if (!m_options.silent)
        connection->send(OSCMessage("/eos/out/active/chan", {activeChannelText(*channels)}));
}

void ConsoleSimulator::answer(const OSCMessage& message, SimulatorConnection& connection) {
    const std::string_view address = message.addressPattern.rawAddress();
    if (address == "/eos/ping") {
        connection.send(OSCMessage("/eos/out/ping", message.values));
    } else if (address == "/eos/get/version") {
        connection.send(OSCMessage("/eos/out/get/version", {"3.2.8.26"}));
    } else if (address == "/eos/get/patch/count") {
        connection.send(
            OSCMessage("/eos/out/get/patch/count", {static_cast<std::int32_t>(m_options.patch.size())}));
    } else if (constexpr std::string_view prefix = "/eos/get/patch/index/"; address.starts_with(prefix)) {
        answerPatchIndex(address.substr(prefix.size()), connection);
    } else if (const auto command = commandText(message)) {
        const std::string echo = "LIVE: " + *command;
        connection.send(OSCMessage("/eos/out/user/91/cmd", {echo}));
        connection.send(OSCMessage("/eos/out/cmd", {echo}));
        if (command->starts_with("Chan ") || command->starts_with("chan "))
            connection.send(OSCMessage("/eos/out/active/chan", {activeChannelText(command->substr(5))}));
    }
}

void ConsoleSimulator::answerPatchIndex(std::string_view text, SimulatorConnection& connection) {
    int index = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (error != std::errc() || end != text.data() + text.size() || index < 0 ||
        static_cast<std::size_t>(index) >= m_options.patch.size())
        return;
    if (index == m_options.losePatchReply) {
        printLine("Patch index " + std::to_string(index) + ": reply lost");
        return;
    }
    const int channel = m_options.patch[static_cast<std::size_t>(index)];
    // Index, UID, label, then fields Pexlora does not read.
    const OSCValues values{
        static_cast<std::int32_t>(index), "00000000-0000-0000-0000-" + std::to_string(100000000000 + channel),
        "Channel " + std::to_string(channel), "Dimmer", static_cast<std::int32_t>(channel)};
    connection.send(OSCMessage(OSCAddressPattern("/eos/out/get/patch/" + std::to_string(channel) +
                                                 "/1/list/0/" + std::to_string(values.size())),
                               values));
}

} // namespace pexlora::sim
