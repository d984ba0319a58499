// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "util/Result.h"

#include <QHostAddress>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace pexlora {

// The UDP socket the sACN receiver hears through, behind an interface so that tests
// can stand in for the network.
class SacnSocket {
public:
    virtual ~SacnSocket() = default;

    // Binds 0.0.0.0:`port` (0: the system's choice), shared with other sACN programs of
    // this machine. The port bound, or why it could not be.
    virtual Result<std::uint16_t, QString> bind(std::uint16_t port) = 0;
    // Leaves every group and closes; the ready handler is not called again.
    virtual void close() = 0;

    // An empty interface name leaves the choice to the system. Whether the group was
    // joined; unicast datagrams arrive either way.
    virtual bool joinGroup(const QHostAddress& group, const QString& interfaceName) = 0;
    virtual void leaveGroup(const QHostAddress& group, const QString& interfaceName) = 0;

    // Copies the next waiting datagram into `buffer`, cut to its size; the bytes
    // copied, or none when nothing waits.
    virtual std::optional<std::size_t> read(std::span<std::uint8_t> buffer) = 0;
    // Called when datagrams wait, and again in a later turn of the event loop while
    // any are left unread.
    virtual void setReadyHandler(std::function<void()> handler) = 0;
};

} // namespace pexlora
