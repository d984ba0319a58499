#include "eos/EosDiscoveryWorker.h"

#include "eos/EosDiscoveryReply.h"
#include "osc/OSCMessageEncoder.h"

#include <QThread>

namespace pexlora {

namespace {

constexpr const char* requestPath = "/etc/discovery/request";
constexpr const char* applicationName = "Pexlora";
constexpr int stepsPerBurst = 3;
// What a waiting datagram costs beyond its bytes: the event and the sender's address.
constexpr std::size_t datagramOverhead = 256;

} // namespace

EosDiscoveryWorker::EosDiscoveryWorker(EosDiscoveryConfig config, QThread* receiveThread)
    : m_config(std::move(config))
    , m_receiveThread(receiveThread)
    , m_hosts(m_config.maxHosts)
    , m_collator(QLocale()) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

EosDiscoveryWorker::~EosDiscoveryWorker() {
    shutdown();
}

void EosDiscoveryWorker::setSettingsOpen(bool open) {
    m_isSettingsOpen = open;
    reschedule();
}

void EosDiscoveryWorker::setHasConnection(bool connected) {
    m_hasConnection = connected;
    reschedule();
}

void EosDiscoveryWorker::shutdown() {
    m_refreshTimer.reset();
    m_burstSteps.clear();
    m_transport.reset();
}

void EosDiscoveryWorker::reschedule() {
    m_refreshTimer.reset();
    const auto refresh = [this] {
        pruneStale();
        startBurst();
    };
    if (m_isSettingsOpen) {
        startBurst();
        m_refreshTimer = m_config.clock->startRepeating(this, m_config.browsingPeriod, refresh);
    } else if (m_hasConnection) {
        m_refreshTimer = m_config.clock->startRepeating(this, m_config.watchingPeriod, refresh);
    } else {
        // Hosts already found stay listed; only pruning removes them.
        m_transport.reset();
    }
}

void EosDiscoveryWorker::startBurst() {
    if (m_burstInFlight)
        return;
    m_burstInFlight = true;
    const int generation = ++m_burstGeneration;
    if (!m_transport) {
        auto transport = std::make_unique<UDPTransport>(
            m_config.listenPort, m_receiveThread, [this](QByteArray data, QString senderIP) {
                enqueueDatagram(std::move(data), std::move(senderIP));
            });
        if (!transport->start().ok()) {
            m_burstInFlight = false;
            return;
        }
        m_transport = std::move(transport);
    }
    const std::vector<QString> destinations = m_config.destinations();
    // A new burst starts only after the last step of the previous one has run.
    m_burstSteps.clear();
    for (int step = 0; step < stepsPerBurst; ++step) {
        const bool last = step == stepsPerBurst - 1;
        m_burstSteps.push_back(m_config.clock->startOnce(this, step * m_config.burstStepInterval,
                                                         [this, generation, destinations, last] {
                                                             if (m_burstGeneration != generation)
                                                                 return;
                                                             sendRequest(destinations);
                                                             if (last) {
                                                                 m_burstInFlight = false;
                                                                 pruneStale();
                                                             }
                                                         }));
    }
}

void EosDiscoveryWorker::sendRequest(const std::vector<QString>& destinations) {
    if (!m_transport)
        return;
    // The request names the port replies are expected on: the one actually bound.
    const OSCMessage request(requestPath,
                             {static_cast<std::int32_t>(m_transport->boundPort()), applicationName});
    const auto bytes = encodeOSC(request);
    if (!bytes.ok())
        return;
    for (const QString& destination : destinations)
        m_transport->send(bytes.value(), destination, m_config.broadcastPort);
}

void EosDiscoveryWorker::enqueueDatagram(QByteArray data, QString senderIP) {
    const std::size_t cost = static_cast<std::size_t>(data.size()) + datagramOverhead;
    if (m_pendingBytes.fetch_add(cost) + cost > m_config.maxPendingBytes) {
        m_pendingBytes.fetch_sub(cost);
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, data = std::move(data), senderIP = std::move(senderIP), cost] {
            m_pendingBytes.fetch_sub(cost);
            handleDatagram(data, senderIP);
        },
        Qt::QueuedConnection);
}

void EosDiscoveryWorker::handleDatagram(const QByteArray& data, const QString& senderIP) {
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(data.constData()),
                          static_cast<std::size_t>(data.size()));
    const auto host = hostFromDatagram(bytes, senderIP);
    if (host && m_hosts.upsert(*host, m_config.clock->now()))
        schedulePublish();
}

void EosDiscoveryWorker::pruneStale() {
    if (m_hosts.pruneStale(m_config.clock->now(), m_config.staleTimeout))
        schedulePublish();
}

void EosDiscoveryWorker::schedulePublish() {
    // Every change until the queue gets round to it goes out as one list.
    if (m_publishPending)
        return;
    m_publishPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_publishPending = false;
            emit hostsPublished(m_hosts.sortedHosts(m_collator));
        },
        Qt::QueuedConnection);
}

} // namespace pexlora
