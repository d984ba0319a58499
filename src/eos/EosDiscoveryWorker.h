#pragma once

#include "eos/EosDiscoveryConfig.h"
#include "eos/EosHostTable.h"
#include "eos/UDPTransport.h"

#include <QByteArray>
#include <QCollator>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

class QThread;

namespace pexlora {

// All discovery state, confined to the discovery queue: the transport, the refresh
// timer, the bursts and the hosts heard. EosDiscoveryManager posts to it.
class EosDiscoveryWorker : public QObject {
    Q_OBJECT

public:
    EosDiscoveryWorker(EosDiscoveryConfig config, QThread* receiveThread);
    ~EosDiscoveryWorker() override;

    // On the discovery queue.
    void setSettingsOpen(bool open);
    void setHasConnection(bool connected);
    // Stops timers and closes the transport, for an orderly end.
    void shutdown();

    // Any thread: hands a received datagram to the discovery queue, or drops it when
    // too many bytes are already waiting there.
    void enqueueDatagram(QByteArray data, QString senderIP);

signals:
    // The hosts by name, each time they change.
    void hostsPublished(pexlora::EosDiscoveredHosts hosts);

private:
    void reschedule();
    void startBurst();
    void sendRequest(const std::vector<QString>& destinations);
    void handleDatagram(const QByteArray& data, const QString& senderIP);
    void pruneStale();
    void schedulePublish();

    EosDiscoveryConfig m_config;
    QThread* m_receiveThread;
    std::unique_ptr<UDPTransport> m_transport;
    std::unique_ptr<EosTimer> m_refreshTimer;
    std::vector<std::unique_ptr<EosTimer>> m_burstSteps;
    EosHostTable m_hosts;
    QCollator m_collator;
    bool m_burstInFlight = false;
    int m_burstGeneration = 0;
    bool m_isSettingsOpen = false;
    bool m_hasConnection = false;
    bool m_publishPending = false;
    std::atomic<std::size_t> m_pendingBytes{0};
};

} // namespace pexlora
