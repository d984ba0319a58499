// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosTcpLink.h"

#include "osc/OSCPacketDecoder.h"
#include "osc/OSCPacketMessages.h"

#include <QHostInfo>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace pexlora {

namespace {

// Undecodable packets are left out. The desk writes its labels and command lines in
// UTF-8: read strictly, one accented letter would cost the whole packet.
void decodeInto(std::span<const std::uint8_t> bytes, std::vector<OSCMessage>& messages) {
    auto decoded = decodeOSCPacket(bytes, OSCTextPolicy::lenientUTF8);
    if (!decoded.ok() || !decoded.value())
        return;
    takePacketMessages(std::move(*decoded.value()), messages);
}

void dispose(std::unique_ptr<QTcpSocket> socket) {
    if (!socket)
        return;
    socket->disconnect();
    socket->abort();
    // It may be the one whose signal is being handled.
    socket.release()->deleteLater();
}

} // namespace

EosTcpLink::EosTcpLink(EosFraming framing, std::shared_ptr<EosClock> clock,
                       std::chrono::milliseconds connectTimeout)
    : m_framing(framing)
    , m_clock(std::move(clock))
    , m_connectTimeout(connectTimeout)
    , m_reader(framing) {}

EosTcpLink::~EosTcpLink() {
    m_finished = true;
    if (m_lookupID >= 0)
        QHostInfo::abortHostLookup(m_lookupID);
    dispose(std::move(m_socket));
}

void EosTcpLink::open(const QString& host, std::uint16_t port) {
    if (const QHostAddress numeric(host); !numeric.isNull()) {
        open(QList<QHostAddress>{numeric}, port);
        return;
    }
    m_port = port;
    m_lookupID = QHostInfo::lookupHost(host, this, [this](const QHostInfo& info) {
        m_lookupID = -1;
        if (info.error() != QHostInfo::NoError && info.error() != QHostInfo::HostNotFound)
            m_failure = {EosLinkFailure::Kind::other, info.errorString(), {}};
        open(info.addresses(), m_port);
    });
}

void EosTcpLink::open(const QList<QHostAddress>& addresses, std::uint16_t port) {
    if (m_finished)
        return;
    m_addresses = addresses;
    m_port = port;
    tryNextAddress();
}

void EosTcpLink::tryNextAddress() {
    // A retry queued before close() must not open a socket again.
    if (m_finished)
        return;
    m_attemptTimeout.reset();
    dispose(std::move(m_socket));
    if (m_addresses.isEmpty()) {
        finish(m_failure);
        return;
    }
    const QHostAddress address = m_addresses.takeFirst();
    m_socket = std::make_unique<QTcpSocket>();
    // Bounds what waits in memory when the console talks faster than it is read.
    m_socket->setReadBufferSize(4 * readBudget);
    QTcpSocket* socket = m_socket.get();
    QObject::connect(socket, &QTcpSocket::connected, this, [this] {
        m_attemptTimeout.reset();
        m_connected = true;
        emit ready();
    });
    QObject::connect(socket, &QTcpSocket::errorOccurred, this,
                     [this, socket](QAbstractSocket::SocketError error) {
                         m_failure = failureFromSocketError(error, socket->errorString());
                         if (m_connected)
                             finish(m_failure);
                         else
                             QTimer::singleShot(0, this, [this] { tryNextAddress(); });
                     });
    // A peer that closes without an error ends the link too.
    QObject::connect(socket, &QTcpSocket::disconnected, this, [this] {
        if (m_connected)
            finish({EosLinkFailure::Kind::closedByConsole, {}, {}});
    });
    QObject::connect(socket, &QTcpSocket::readyRead, this, [this] {
        // The turn already scheduled reads these bytes too. Read now as well, and every new
        // arrival would add a turn to each pass of the event loop, until the window froze.
        if (!m_readScheduled)
            readSome();
    });
    // A silent address (say, an unroutable one listed first) must not keep the next from being tried.
    m_attemptTimeout = m_clock->startOnce(this, m_connectTimeout, [this] {
        m_failure = {EosLinkFailure::Kind::timedOut, {}, m_connectTimeout};
        tryNextAddress();
    });
    socket->connectToHost(address, m_port);
}

void EosTcpLink::write(std::span<const std::uint8_t> packet) {
    if (!m_connected || m_finished)
        return;
    m_socket->write(framedPacket(m_framing, packet));
    // Out now rather than at the next turn of the event loop: a recording is two small writes.
    m_socket->flush();
}

void EosTcpLink::close() {
    m_finished = true;
    m_attemptTimeout.reset();
    dispose(std::move(m_socket));
}

void EosTcpLink::readSome() {
    // A handler of ours that spins the event loop (a progress dialog, a message box) brings
    // us here again while the read below is halfway through a chunk: the stream's place is
    // there, so these bytes wait for it. It reads on, or schedules the rest, once the
    // handler returns.
    if (m_reading)
        return;
    m_reading = true;
    const QPointer<EosTcpLink> alive(this);
    // Held here, not in the link, while handlers run: one of them may destroy the link.
    std::vector<OSCMessage> messages = std::move(m_decoded);
    std::size_t handedOn = 0;
    qint64 bytes = 0;
    char buffer[readChunk];
    while (!m_finished && m_socket && handedOn < messageBudget && bytes < readBudget) {
        const qint64 read = m_socket->read(buffer, readChunk);
        if (read <= 0)
            break;
        bytes += read;
        // Decoded first and handed on after: a handler may close or destroy this link.
        messages.clear();
        m_reader.feed(
            std::span(reinterpret_cast<const std::uint8_t*>(buffer), static_cast<std::size_t>(read)),
            [&messages](std::span<const std::uint8_t> packet) { decodeInto(packet, messages); });
        for (const OSCMessage& message : messages) {
            emit messageReceived(message);
            if (!alive)
                return;
            if (m_finished)
                break;
        }
        handedOn += messages.size();
        if (m_reader.broken()) {
            // Not this framing after all: a fresh connection, or the next framing, finds out.
            finish({EosLinkFailure::Kind::unreadable, {}, {}});
            break;
        }
    }
    messages.clear();
    m_decoded = std::move(messages);
    m_reading = false;
    // The rest waits for the next turn, after the window's own events.
    if (!m_finished && m_socket && m_socket->bytesAvailable() > 0 && !m_readScheduled) {
        m_readScheduled = true;
        QTimer::singleShot(0, this, [this] {
            m_readScheduled = false;
            readSome();
        });
    }
}

void EosTcpLink::finish(const EosLinkFailure& failure) {
    if (m_finished)
        return;
    m_finished = true;
    m_connected = false;
    m_attemptTimeout.reset();
    dispose(std::move(m_socket));
    // Never from inside a call of the owner's (a write that fails, say): it may replace this link.
    QTimer::singleShot(0, this, [this, failure] { emit ended(failure); });
}

} // namespace pexlora
