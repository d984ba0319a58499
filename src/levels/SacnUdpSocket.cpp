// SPDX-License-Identifier: GPL-3.0-or-later
#include "levels/SacnUdpSocket.h"

#include <QNetworkInterface>

namespace pexlora {

SacnUdpSocket::SacnUdpSocket() {
    // QUdpSocket re-arms its notifier on every read, so what a burst leaves unread
    // signals again on the next turn of the event loop.
    QObject::connect(&m_socket, &QUdpSocket::readyRead, &m_socket, [this] {
        if (m_ready)
            m_ready();
    });
}

Result<std::uint16_t, QString> SacnUdpSocket::bind(std::uint16_t port) {
    if (!m_socket.bind(QHostAddress::AnyIPv4, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint))
        return fail(m_socket.errorString());
    return m_socket.localPort();
}

void SacnUdpSocket::close() {
    // Closing the socket leaves its groups.
    m_socket.close();
}

bool SacnUdpSocket::joinGroup(const QHostAddress& group, const QString& interfaceName) {
    if (interfaceName.isEmpty())
        return m_socket.joinMulticastGroup(group);
    return m_socket.joinMulticastGroup(group, QNetworkInterface::interfaceFromName(interfaceName));
}

void SacnUdpSocket::leaveGroup(const QHostAddress& group, const QString& interfaceName) {
    if (interfaceName.isEmpty())
        m_socket.leaveMulticastGroup(group);
    else
        m_socket.leaveMulticastGroup(group, QNetworkInterface::interfaceFromName(interfaceName));
}

std::optional<std::size_t> SacnUdpSocket::read(std::span<std::uint8_t> buffer) {
    if (!m_socket.hasPendingDatagrams())
        return std::nullopt;
    const qint64 size =
        m_socket.readDatagram(reinterpret_cast<char*>(buffer.data()), static_cast<qint64>(buffer.size()));
    if (size < 0)
        return std::nullopt;
    return static_cast<std::size_t>(size);
}

void SacnUdpSocket::setReadyHandler(std::function<void()> handler) {
    m_ready = std::move(handler);
}

} // namespace pexlora
