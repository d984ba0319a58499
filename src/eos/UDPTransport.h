// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "util/Result.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class QSocketNotifier;

namespace pexlora {

// Why a transport could not be opened; `errorNumber` is the socket call's errno.
struct UDPTransportError {
    enum class Case { socket, bind };

    Case kind = Case::socket;
    int errorNumber = 0;

    friend bool operator==(const UDPTransportError&, const UDPTransportError&) = default;
};

// One IPv4 UDP socket on POSIX sockets, read through the event loop of the thread
// that made it: sends byte buffers to dotted addresses and hands every datagram it
// receives, with the sender's dotted address, to a handler. It knows nothing of OSC.
class UDPTransport {
public:
    using ReceiveHandler = std::function<void(QByteArray data, QString senderIP)>;

    // Read in one turn of the event loop; the rest waits for the next turn, so that a
    // flood cannot keep the window from its own events.
    static constexpr int maxDatagramsPerTurn = 64;

    // Nothing is opened yet. Port 0 binds a port of the system's choice (see boundPort).
    UDPTransport(std::uint16_t localPort, ReceiveHandler receiveHandler);
    ~UDPTransport();
    UDPTransport(const UDPTransport&) = delete;
    UDPTransport& operator=(const UDPTransport&) = delete;

    // Opens and binds 0.0.0.0:localPort (address and port reuse, broadcast allowed,
    // non-blocking) and starts receiving. Does nothing when already open.
    Result<Unit, UDPTransportError> start();

    // One datagram; silently nothing when closed or when `host` is not a dotted IPv4 address.
    void send(std::span<const std::uint8_t> data, const QString& host, std::uint16_t port) const;

    // Stops receiving and closes the socket; the handler is not called again. The
    // transport may be started again. Not to be called from inside the handler.
    void close();

    bool isOpen() const { return m_socketFD >= 0; }
    // The port actually bound; 0 while closed.
    std::uint16_t boundPort() const { return m_boundPort; }

private:
    void readSome();

    std::uint16_t m_localPort;
    ReceiveHandler m_receiveHandler;
    int m_socketFD = -1;
    std::uint16_t m_boundPort = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::vector<char> m_buffer;
};

} // namespace pexlora
