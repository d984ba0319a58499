#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>

class QTcpSocket;

namespace pexlora {

// One TCP connection to the console, living on the link queue. It reports each
// outcome once, tagged with the connection's number so that the manager can tell a
// replaced connection's late reports from the current one's. It reads and discards
// whatever the console sends, so a talkative console can never fill the buffers.
class EosTcpLink : public QObject {
    Q_OBJECT

public:
    enum class State { ready, failed, cancelled };
    Q_ENUM(State)

    explicit EosTcpLink(quint64 connectionID);
    ~EosTcpLink() override;

    quint64 connectionID() const { return m_connectionID; }

    // On the link queue. Host names are resolved by the platform.
    void open(const QString& host, std::uint16_t port);
    // One framed packet, written at once; dropped unless the link is established.
    void write(const QByteArray& frame);
    // Closes the connection; reports `cancelled` unless it already ended.
    void cancel();

signals:
    void stateChanged(quint64 connectionID, pexlora::EosTcpLink::State state);

private:
    void finish(State state);

    quint64 m_connectionID;
    QTcpSocket* m_socket = nullptr;
    bool m_ready = false;
    bool m_finished = false;
};

} // namespace pexlora
