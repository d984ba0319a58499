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

// How a connection's packets are framed.
enum class SimulatorFraming {
    automatic, // told by the first byte, as before any desk setting
    slip,      // anything else closes the connection, as a desk set to OSC 1.1 does
    length     // anything else closes the connection, as a desk set to OSC 1.0 does
};

// One TCP connection to the simulator. With automatic framing the first byte tells:
// SLIP when it is END (or "/" or "#", from a sender that leaves out the leading END),
// else OSC 1.0's 4-byte big-endian length prefix. Replies go out in the same framing.
class SimulatorConnection : public QObject {
    Q_OBJECT

public:
    // Longer length-prefixed packets end the connection.
    static constexpr std::uint32_t maxPacketSize = 1024 * 1024;

    SimulatorConnection(QTcpSocket* socket, SimulatorFraming framing, QObject* parent);

    // One message to the peer, once its framing is known.
    void send(const OSCMessage& message);
    // Stops reading and answering; the connection stays open.
    void stall();
    // Closes the connection.
    void drop();

    const std::string& peer() const { return m_peer; }

signals:
    void messageReceived(const pexlora::OSCMessage& message, pexlora::sim::SimulatorConnection* connection);

private:
    enum class Framing { undecided, slip, lengthPrefixed };

    void readAvailable();
    void takeLengthPrefixed();
    void handlePacket(const std::vector<std::uint8_t>& packet);
    void refuse(const std::string& why);

    QTcpSocket* m_socket;
    std::string m_peer;
    SimulatorFraming m_expected;
    Framing m_framing = Framing::undecided;
    bool m_stalled = false;
    SLIPDecoder m_slip;
    std::vector<std::uint8_t> m_pending; // length-prefixed bytes not yet a whole packet
};

} // namespace pexlora::sim
