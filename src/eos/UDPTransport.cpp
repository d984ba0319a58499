#include "eos/UDPTransport.h"

#include <QSocketNotifier>
#include <QThread>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace pexlora {

// Watches the socket on the receive queue and runs the receive loop there.
class UDPReadSource : public QObject {
public:
    UDPReadSource(int socketFD, UDPTransport::ReceiveHandler handler)
        : m_socketFD(socketFD)
        , m_handler(std::move(handler))
        , m_buffer(65535) {}
    ~UDPReadSource() override { stop(); }

    void start() {
        if (m_stopped)
            return;
        m_notifier =
            std::make_unique<QSocketNotifier>(static_cast<qintptr>(m_socketFD), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { drain(); });
    }

    // On the receive queue: after this the handler is never called again.
    void stop() {
        m_stopped = true;
        m_notifier.reset();
        m_handler = nullptr;
    }

private:
    void drain() {
        for (int count = 0; count < UDPTransport::maxDatagramsPerWakeUp && m_handler; ++count) {
            sockaddr_storage sender{};
            socklen_t senderLength = sizeof sender;
            const ssize_t received = ::recvfrom(m_socketFD, m_buffer.data(), m_buffer.size(), 0,
                                                reinterpret_cast<sockaddr*>(&sender), &senderLength);
            if (received <= 0)
                return;
            if (sender.ss_family != AF_INET)
                continue;
            char text[INET_ADDRSTRLEN] = {};
            if (!inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&sender)->sin_addr, text,
                           sizeof text))
                continue;
            m_handler(QByteArray(m_buffer.data(), static_cast<qsizetype>(received)),
                      QString::fromLatin1(text));
        }
    }

    int m_socketFD;
    UDPTransport::ReceiveHandler m_handler;
    std::vector<char> m_buffer;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_stopped = false;
};

void UDPReadSourceDeleter::operator()(UDPReadSource* source) const {
    QThread* thread = source->thread();
    if (thread == QThread::currentThread() || !thread->isRunning()) {
        delete source;
        return;
    }
    // Wait for the receive loop to be stopped, so the descriptor is not read after it is closed.
    QMetaObject::invokeMethod(
        source, [source] { source->stop(); }, Qt::BlockingQueuedConnection);
    source->deleteLater();
}

UDPTransport::UDPTransport(std::uint16_t localPort, QThread* receiveThread, ReceiveHandler receiveHandler)
    : m_localPort(localPort)
    , m_receiveThread(receiveThread)
    , m_receiveHandler(std::move(receiveHandler)) {}

UDPTransport::~UDPTransport() {
    close();
}

Result<Unit, UDPTransportError> UDPTransport::start() {
    if (m_socketFD >= 0)
        return Unit{};
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return fail(UDPTransportError{UDPTransportError::Case::socket, errno});

    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
#ifdef SO_REUSEPORT
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &one, sizeof one);
#endif
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    // Programs started later (a console simulator, say) must not inherit the socket.
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(m_localPort);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(UDPTransportError{UDPTransportError::Case::bind, error});
    }
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);

    m_socketFD = fd;
    m_boundPort = ntohs(address.sin_port);
    m_readSource.reset(new UDPReadSource(fd, m_receiveHandler));
    m_readSource->moveToThread(m_receiveThread);
    UDPReadSource* source = m_readSource.get();
    QMetaObject::invokeMethod(
        source, [source] { source->start(); }, Qt::QueuedConnection);
    return Unit{};
}

void UDPTransport::send(std::span<const std::uint8_t> data, const QString& host, std::uint16_t port) const {
    if (m_socketFD < 0)
        return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.toLatin1().constData(), &address.sin_addr) != 1)
        return;
    ::sendto(m_socketFD, data.data(), data.size(), 0, reinterpret_cast<const sockaddr*>(&address),
             sizeof address);
}

void UDPTransport::close() {
    m_readSource.reset();
    if (m_socketFD >= 0) {
        ::close(m_socketFD);
        m_socketFD = -1;
        m_boundPort = 0;
    }
}

} // namespace pexlora
