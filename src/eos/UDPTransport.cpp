// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/UDPTransport.h"

#include <QSocketNotifier>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pexlora {

UDPTransport::UDPTransport(std::uint16_t localPort, ReceiveHandler receiveHandler)
    : m_localPort(localPort)
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
    m_buffer.resize(65535);
    m_notifier = std::make_unique<QSocketNotifier>(static_cast<qintptr>(fd), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { readSome(); });
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

void UDPTransport::readSome() {
    // The notifier fires again next turn while anything is left unread.
    for (int count = 0; count < maxDatagramsPerTurn && m_socketFD >= 0; ++count) {
        sockaddr_storage sender{};
        socklen_t senderLength = sizeof sender;
        const ssize_t received = ::recvfrom(m_socketFD, m_buffer.data(), m_buffer.size(), 0,
                                            reinterpret_cast<sockaddr*>(&sender), &senderLength);
        if (received < 0)
            return;
        if (received == 0 || sender.ss_family != AF_INET)
            continue;
        char text[INET_ADDRSTRLEN] = {};
        if (!inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&sender)->sin_addr, text, sizeof text))
            continue;
        m_receiveHandler(QByteArray(m_buffer.data(), static_cast<qsizetype>(received)),
                         QString::fromLatin1(text));
    }
}

void UDPTransport::close() {
    m_notifier.reset();
    if (m_socketFD >= 0) {
        ::close(m_socketFD);
        m_socketFD = -1;
        m_boundPort = 0;
    }
}

} // namespace pexlora
