#include "SimulatorConnection.h"

#include "SimulatorOutput.h"
#include "osc/OSCPacketDecoder.h"
#include "osc/SLIPEncoder.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace pexlora::sim {

namespace {

void collectMessages(const OSCPacket& packet, std::vector<const OSCMessage*>& messages) {
    if (const OSCMessage* message = packet.message()) {
        messages.push_back(message);
        return;
    }
    for (const OSCPacket& element : packet.bundle()->elements)
        collectMessages(element, messages);
}

} // namespace

SimulatorConnection::SimulatorConnection(QTcpSocket* socket, QObject* parent)
    : QObject(parent)
    , m_socket(socket)
    , m_peer(socket->peerAddress().toString().toStdString() + ":" + std::to_string(socket->peerPort())) {
    socket->setParent(this);
    QObject::connect(socket, &QTcpSocket::readyRead, this, &SimulatorConnection::readAvailable);
    QObject::connect(socket, &QTcpSocket::disconnected, this, [this] {
        printLine("Connection from " + m_peer + " closed");
        deleteLater();
    });
    printLine("Connection from " + m_peer);
}

void SimulatorConnection::readAvailable() {
    const QByteArray data = m_socket->readAll();
    if (data.isEmpty())
        return;
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(data.constData()),
                          static_cast<std::size_t>(data.size()));
    if (m_framing == Framing::undecided) {
        const std::uint8_t first = bytes.front();
        m_framing = first == pexlora::slip::end || first == '/' || first == '#' ? Framing::slip
                                                                                : Framing::lengthPrefixed;
        printLine("Connection from " + m_peer +
                  (m_framing == Framing::slip ? " sends SLIP frames" : " sends length-prefixed packets"));
    }
    if (m_framing == Framing::slip) {
        for (const auto& frame : m_slip.feed(bytes))
            handlePacket(frame);
        return;
    }
    m_pending.insert(m_pending.end(), bytes.begin(), bytes.end());
    takeLengthPrefixed();
}

void SimulatorConnection::takeLengthPrefixed() {
    std::size_t offset = 0;
    while (m_pending.size() - offset >= 4) {
        const std::uint32_t size =
            std::uint32_t{m_pending[offset]} << 24 | std::uint32_t{m_pending[offset + 1]} << 16 |
            std::uint32_t{m_pending[offset + 2]} << 8 | std::uint32_t{m_pending[offset + 3]};
        if (size > maxPacketSize) {
            printLine("Connection from " + m_peer + ": packet of " + std::to_string(size) +
                      " bytes is too long, closing");
            m_pending.clear();
            m_socket->abort();
            return;
        }
        if (m_pending.size() - offset - 4 < size)
            break;
        const auto begin = m_pending.begin() + static_cast<std::ptrdiff_t>(offset + 4);
        const std::vector<std::uint8_t> packet(begin, begin + static_cast<std::ptrdiff_t>(size));
        offset += 4 + size;
        if (!packet.empty())
            handlePacket(packet);
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(offset));
}

void SimulatorConnection::handlePacket(const std::vector<std::uint8_t>& packet) {
    const auto decoded = decodeOSCPacket(packet);
    if (!decoded.ok()) {
        printLine("Undecodable packet from " + m_peer + ": " + decoded.error().description());
        return;
    }
    if (!decoded.value()) {
        printLine("Packet from " + m_peer + " is neither a message nor a bundle");
        return;
    }
    std::vector<const OSCMessage*> messages;
    collectMessages(*decoded.value(), messages);
    for (const OSCMessage* message : messages)
        emit messageReceived(*message, m_peer);
}

} // namespace pexlora::sim
