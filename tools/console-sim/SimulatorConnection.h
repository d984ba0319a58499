// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCMessage.h"
#include "osc/SLIPDecoder.h"

#include <QObject>
#include <cstdint>
#include <string>
#include <vector>

class QTcpSocket;

namespace pexlora::sim {

// How the desk frames packets on its TCP port: one setting for the whole desk.
enum class SimulatorFraming {
    length, // OSC 1.0: a 4-byte big-endian length before each packet, as a desk ships
    slip    // OSC 1.1: double-ended SLIP
};

// One TCP connection to the simulator, in the desk's one framing. Bytes that do not
// read in it close the connection, as a desk closes one on invalid packets.
class SimulatorConnection : public QObject {
    Q_OBJECT

public:
    // Longer length-prefixed packets end the connection.
    static constexpr std::uint32_t maxPacketSize = 64 * 1024;

    SimulatorConnection(QTcpSocket* socket, SimulatorFraming framing, QObject* parent);

    void send(const OSCMessage& message);
    // Stops reading and answering; the connection stays open.
    void stall();
    // Closes the connection.
    void drop();

    const std::string& peer() const { return m_peer; }
    bool isSubscribed() const { return m_subscribed; }
    void setSubscribed(bool subscribed) { m_subscribed = subscribed; }

signals:
    void messageReceived(const pexlora::OSCMessage& message, pexlora::sim::SimulatorConnection* connection);

private:
    void readAvailable();
    void takeLengthPrefixed();
    bool handlePacket(const std::vector<std::uint8_t>& packet);
    void refuse(const std::string& why);

    QTcpSocket* m_socket;
    std::string m_peer;
    SimulatorFraming m_framing;
    bool m_started = false; // a first byte has been read
    bool m_stalled = false;
    bool m_closed = false;
    bool m_subscribed = false;
    SLIPDecoder m_slip;
    std::vector<std::uint8_t> m_pending; // length-prefixed bytes not yet a whole packet
};

} // namespace pexlora::sim
