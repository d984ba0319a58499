// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosFraming.h"
#include "eos/EosLinkFailure.h"
#include "osc/OSCMessage.h"

#include <QObject>
#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace pexlora {

class EosClock;

// One connection to the console in one framing, as the connection manager sees it:
// the TCP link in the application, a fake in tests.
class EosLink : public QObject {
    Q_OBJECT

public:
    ~EosLink() override;

    virtual EosFraming framing() const = 0;
    // Resolves `host` (a name or a numeric address) and connects.
    virtual void open(const QString& host, std::uint16_t port) = 0;
    // One packet, framed; dropped unless connected.
    virtual void write(std::span<const std::uint8_t> packet) = 0;
    // Closes the connection without any further report.
    virtual void close() = 0;

signals:
    void ready();
    // The connection could not be made, or it ended, and why. Reported from the event
    // loop, never from inside a call of the owner's.
    void ended(const pexlora::EosLinkFailure& failure);
    // In the order sent. A handler may close or destroy the link, or spin the event loop.
    void messageReceived(const pexlora::OSCMessage& message);
};

using EosLinkFactory = std::function<std::unique_ptr<EosLink>(EosFraming)>;

// TCP links that give up on an address after `connectTimeout`.
EosLinkFactory tcpLinkFactory(std::shared_ptr<EosClock> clock, std::chrono::milliseconds connectTimeout);

} // namespace pexlora
