// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosClock.h"
#include "eos/EosFraming.h"
#include "eos/EosLink.h"
#include "eos/EosLinkFailure.h"
#include "eos/EosStreamReader.h"
#include "osc/OSCMessage.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class QTcpSocket;

namespace pexlora {

// One TCP connection to the console in one framing, on the thread that made it. A
// host name's addresses are tried one after another, each for at most
// `connectTimeout`. Everything the console sends is read, however much: packets are
// decoded and handed on message by message, a bounded amount per turn of the event
// loop so that a flood cannot starve the window.
class EosTcpLink final : public EosLink {
    Q_OBJECT

public:
    EosTcpLink(EosFraming framing, std::shared_ptr<EosClock> clock, std::chrono::milliseconds connectTimeout);
    ~EosTcpLink() override;

    EosFraming framing() const override { return m_framing; }

    // Resolves `host` and connects to its addresses in turn.
    void open(const QString& host, std::uint16_t port) override;
    // Connects to these addresses in turn.
    void open(const QList<QHostAddress>& addresses, std::uint16_t port);
    void write(std::span<const std::uint8_t> packet) override;
    void close() override;

    // What is read in one turn of the event loop before the rest waits for the next: a
    // flood of tiny messages is bounded by their count, one of large ones by their bytes.
    // Reads are of `readChunk` bytes, so a turn ends within one chunk of either bound.
    static constexpr std::size_t messageBudget = 2000;
    static constexpr qint64 readBudget = 256 * 1024;
    static constexpr qint64 readChunk = 8 * 1024;

private:
    void tryNextAddress();
    void readSome();
    void finish(const EosLinkFailure& failure);

    EosFraming m_framing;
    std::shared_ptr<EosClock> m_clock;
    std::chrono::milliseconds m_connectTimeout;
    QList<QHostAddress> m_addresses;
    std::uint16_t m_port = 0;
    int m_lookupID = -1;
    std::unique_ptr<QTcpSocket> m_socket;
    std::unique_ptr<EosTimer> m_attemptTimeout;
    // What ends the link once no address is left to try: the last attempt's failure.
    EosLinkFailure m_failure{EosLinkFailure::Kind::hostNotFound, {}, {}};
    EosStreamReader m_reader;
    // Decoded messages on their way to the handlers, kept between turns for the capacity.
    std::vector<OSCMessage> m_decoded;
    bool m_connected = false;
    bool m_finished = false;
    bool m_readScheduled = false;
    bool m_reading = false; // readSome is on the stack
};

} // namespace pexlora
