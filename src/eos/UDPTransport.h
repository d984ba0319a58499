#pragma once

#include "util/Result.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

class QThread;

namespace pexlora {

class UDPReadSource;
// Stops a read source on its own thread before it goes.
struct UDPReadSourceDeleter {
    void operator()(UDPReadSource* source) const;
};

// Why a transport could not be opened; `errorNumber` is the socket call's errno.
struct UDPTransportError {
    enum class Case { socket, bind };

    Case kind = Case::socket;
    int errorNumber = 0;

    friend bool operator==(const UDPTransportError&, const UDPTransportError&) = default;
};

// One IPv4 UDP socket on POSIX sockets: sends byte buffers to dotted addresses and
// hands every datagram it receives, with the sender's dotted address, to a handler
// that runs on `receiveThread`. It knows nothing of OSC.
class UDPTransport {
public:
    using ReceiveHandler = std::function<void(QByteArray data, QString senderIP)>;

    // One wake-up drains the socket, but no more than this many datagrams, so that a
    // flood cannot keep the receive thread from ever handling a close.
    static constexpr int maxDatagramsPerWakeUp = 4096;

    // Nothing is opened yet. Port 0 binds a port of the system's choice (see boundPort).
    UDPTransport(std::uint16_t localPort, QThread* receiveThread, ReceiveHandler receiveHandler);
    ~UDPTransport();
    UDPTransport(const UDPTransport&) = delete;
    UDPTransport& operator=(const UDPTransport&) = delete;

    // Opens and binds 0.0.0.0:localPort (address and port reuse, broadcast allowed,
    // non-blocking) and starts receiving. Does nothing when already open.
    Result<Unit, UDPTransportError> start();

    // One datagram; silently nothing when closed or when `host` is not a dotted IPv4 address.
    void send(std::span<const std::uint8_t> data, const QString& host, std::uint16_t port) const;

    // Stops receiving and closes the socket; once it returns the handler is not called
    // again. The transport may be started again.
    void close();

    bool isOpen() const { return m_socketFD >= 0; }
    // The port actually bound; 0 while closed.
    std::uint16_t boundPort() const { return m_boundPort; }

private:
    std::uint16_t m_localPort;
    QThread* m_receiveThread;
    ReceiveHandler m_receiveHandler;
    int m_socketFD = -1;
    std::uint16_t m_boundPort = 0;
    std::unique_ptr<UDPReadSource, UDPReadSourceDeleter> m_readSource; // lives on m_receiveThread
};

} // namespace pexlora
