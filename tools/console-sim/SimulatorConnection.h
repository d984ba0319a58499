#pragma once

#include "osc/OSCMessage.h"
#include "osc/SLIPDecoder.h"

#include <QObject>
#include <cstdint>
#include <string>
#include <vector>

class QTcpSocket;

namespace pexlora::sim {

// One TCP connection to the simulator. The first byte tells the framing: SLIP when
// it is END (or "/" or "#", from a sender that leaves out the leading END), else
// OSC 1.0's 4-byte big-endian length prefix.
class SimulatorConnection : public QObject {
    Q_OBJECT

public:
    // Longer length-prefixed packets end the connection.
    static constexpr std::uint32_t maxPacketSize = 1024 * 1024;

    SimulatorConnection(QTcpSocket* socket, QObject* parent);

signals:
    void messageReceived(const pexlora::OSCMessage& message, const std::string& sender);

private:
    enum class Framing { undecided, slip, lengthPrefixed };

    void readAvailable();
    void takeLengthPrefixed();
    void handlePacket(const std::vector<std::uint8_t>& packet);

    QTcpSocket* m_socket;
    std::string m_peer;
    Framing m_framing = Framing::undecided;
    SLIPDecoder m_slip;
    std::vector<std::uint8_t> m_pending; // length-prefixed bytes not yet a whole packet
};

} // namespace pexlora::sim
