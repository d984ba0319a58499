#include "eos/EosTcpLink.h"

#include <QTcpSocket>

namespace pexlora {

EosTcpLink::EosTcpLink(quint64 connectionID)
    : m_connectionID(connectionID) {}

EosTcpLink::~EosTcpLink() {
    m_finished = true;
    if (m_socket)
        m_socket->abort();
}

void EosTcpLink::open(const QString& host, std::uint16_t port) {
    if (m_socket || m_finished)
        return;
    m_socket = new QTcpSocket(this);
    QObject::connect(m_socket, &QTcpSocket::connected, this, [this] {
        if (m_finished)
            return;
        m_ready = true;
        emit stateChanged(m_connectionID, State::ready);
    });
    QObject::connect(m_socket, &QTcpSocket::errorOccurred, this, [this] { finish(State::failed); });
    // A peer that closes without an error still ends the link.
    QObject::connect(m_socket, &QTcpSocket::disconnected, this, [this] { finish(State::failed); });
    QObject::connect(m_socket, &QTcpSocket::readyRead, this,
                     [this] { m_socket->skip(m_socket->bytesAvailable()); });
    m_socket->connectToHost(host, port);
}

void EosTcpLink::write(const QByteArray& frame) {
    if (!m_ready || m_finished)
        return;
    m_socket->write(frame);
    m_socket->flush();
}

void EosTcpLink::cancel() {
    finish(State::cancelled);
}

void EosTcpLink::finish(State state) {
    if (m_finished)
        return;
    m_finished = true;
    m_ready = false;
    if (m_socket)
        m_socket->abort();
    emit stateChanged(m_connectionID, state);
}

} // namespace pexlora
