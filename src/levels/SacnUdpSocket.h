// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "levels/SacnSocket.h"

#include <QUdpSocket>

namespace pexlora {

// The sACN socket on a QUdpSocket. Datagrams are read straight into the caller's
// buffer, one at a time, so that a flood costs no allocation.
class SacnUdpSocket final : public SacnSocket {
public:
    SacnUdpSocket();

    Result<std::uint16_t, QString> bind(std::uint16_t port) override;
    void close() override;
    bool joinGroup(const QHostAddress& group, const QString& interfaceName) override;
    void leaveGroup(const QHostAddress& group, const QString& interfaceName) override;
    std::optional<std::size_t> read(std::span<std::uint8_t> buffer) override;
    void setReadyHandler(std::function<void()> handler) override;

private:
    QUdpSocket m_socket;
    std::function<void()> m_ready;
};

} // namespace pexlora
