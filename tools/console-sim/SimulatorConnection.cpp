// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatorConnection.h"

#include "SimulatorOutput.h"
#include "osc/OSCMessageEncoder.h"
#include "osc/OSCPacketDecoder.h"
#include "osc/OSCPacketMessages.h"
#include "osc/SLIPEncoder.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace pexlora::sim {

SimulatorConnection::SimulatorConnection(QTcpSocket* socket, SimulatorFraming framing, QObject* parent)
    : QObject(parent)
    , m_socket(socket)
    , m_peer(socket->peerAddress().toString().toStdString() + ":" + std::to_string(socket->peerPort()))
    , m_framing(framing)
    , m_slip(maxPacketSize) {
    socket->setParent(this);
    QObject::connect(socket, &QTcpSocket::readyRead, this, &SimulatorConnection::readAvailable);
    QObject::connect(socket, &QTcpSocket::disconnected, this, [this] {
        if (!m_closed)
            printLine("Connection from " + m_peer + " closed");
        m_closed = true;
        deleteLater();
    });
    printLine("Connection from " + m_peer);
}

void SimulatorConnection::send(const OSCMessage& message) {
    if (m_stalled || m_closed)
        return;
    const auto encoded = encodeOSC(message);
    if (!encoded.ok())
        return;
    const std::vector<std::uint8_t>& bytes = encoded.value();
    if (m_framing == SimulatorFraming::slip) {
        const std::vector<std::uint8_t> frame = encodeSLIPFrame(bytes);
        m_socket->write(reinterpret_cast<const char*>(frame.data()), static_cast<qint64>(frame.size()));
        return;
    }
    const auto size = static_cast<std::uint32_t>(bytes.size());
    const char prefix[4] = {static_cast<char>(size >> 24), static_cast<char>(size >> 16),
                            static_cast<char>(size >> 8), static_cast<char>(size)};
    m_socket->write(prefix, 4);
    m_socket->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

void SimulatorConnection::stall() {
    m_stalled = true;
}

void SimulatorConnection::drop() {
    printLine("Connection from " + m_peer + ": dropping it");
    m_socket->disconnectFromHost();
}

void SimulatorConnection::refuse(const std::string& why) {
    if (m_closed)
        return;
    printLine("Connection from " + m_peer + ": " + why + ", closing");
    m_closed = true;
    m_pending.clear();
    m_socket->abort();
    deleteLater();
}

void SimulatorConnection::readAvailable() {
    if (m_stalled || m_closed)
        return;
    const QByteArray data = m_socket->readAll();
    if (data.isEmpty())
        return;
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(data.constData()),
                          static_cast<std::size_t>(data.size()));
    if (m_framing == SimulatorFraming::slip) {
        // A SLIP sender starts with END, or with the packet itself when it leaves that out.
        const std::uint8_t first = bytes.front();
        if (!m_started && first != pexlora::slip::end && first != '/' && first != '#')
            return refuse("not SLIP");
        m_started = true;
        for (const auto& frame : m_slip.feed(bytes))
            if (!handlePacket(frame))
                return;
        if (m_slip.droppedFrames() > 0)
            refuse("SLIP frame too long");
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
        if (size > maxPacketSize)
            return refuse("not length-prefixed (a packet of " + std::to_string(size) + " bytes)");
        if (m_pending.size() - offset - 4 < size)
            break;
        const auto begin = m_pending.begin() + static_cast<std::ptrdiff_t>(offset + 4);
        const std::vector<std::uint8_t> packet(begin, begin + static_cast<std::ptrdiff_t>(size));
        offset += 4 + size;
        if (!packet.empty() && !handlePacket(packet))
            return;
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(offset));
}

bool SimulatorConnection::handlePacket(const std::vector<std::uint8_t>& packet) {
    // Read as a desk reads: text in UTF-8, so what another sender types in it is kept.
    const auto decoded = decodeOSCPacket(packet, OSCTextPolicy::lenientUTF8);
    if (!decoded.ok()) {
        refuse("invalid packet (" + decoded.error().description() + ")");
        return false;
    }
    if (!decoded.value()) {
        refuse("a packet that is neither a message nor a bundle");
        return false;
    }
    for (const OSCMessage* message : packetMessages(*decoded.value())) {
        emit messageReceived(*message, this);
        if (m_closed)
            return false;
    }
    return true;
}

} // namespace pexlora::sim
