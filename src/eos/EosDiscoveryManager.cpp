// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosDiscoveryManager.h"

#include "eos/EosDiscoveryReply.h"
#include "osc/OSCMessageEncoder.h"

namespace pexlora {

namespace {

constexpr const char* requestPath = "/etc/discovery/request";
constexpr const char* applicationName = "Pexlora";
constexpr int stepsPerBurst = 3;

} // namespace

EosDiscoveryManager::EosDiscoveryManager(EosDiscoveryConfig config, QObject* parent)
    : QObject(parent)
    , m_config(std::move(config))
    , m_hosts(m_config.maxHosts)
    , m_collator(QLocale()) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

EosDiscoveryManager::~EosDiscoveryManager() = default;

void EosDiscoveryManager::settingsOpened() {
    m_isSettingsOpen = true;
    reschedule();
}

void EosDiscoveryManager::settingsClosed() {
    m_isSettingsOpen = false;
    reschedule();
}

void EosDiscoveryManager::setHasConnection(bool connected) {
    m_hasConnection = connected;
    reschedule();
}

void EosDiscoveryManager::reschedule() {
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

void EosDiscoveryManager::startBurst() {
    if (m_burstInFlight)
        return;
    m_burstInFlight = true;
    const int generation = ++m_burstGeneration;
    if (!m_transport) {
        auto transport = std::make_unique<UDPTransport>(
            m_config.listenPort,
            [this](const QByteArray& data, const QString& senderIP) { handleDatagram(data, senderIP); });
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

void EosDiscoveryManager::sendRequest(const std::vector<QString>& destinations) {
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

void EosDiscoveryManager::handleDatagram(const QByteArray& data, const QString& senderIP) {
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(data.constData()),
                          static_cast<std::size_t>(data.size()));
    const auto host = hostFromDatagram(bytes, senderIP);
    if (host && m_hosts.upsert(*host, m_config.clock->now()))
        schedulePublish();
}

void EosDiscoveryManager::pruneStale() {
    if (m_hosts.pruneStale(m_config.clock->now(), m_config.staleTimeout))
        schedulePublish();
}

void EosDiscoveryManager::schedulePublish() {
    // Every change of this turn of the event loop goes out as one list.
    if (m_publishPending)
        return;
    m_publishPending = true;
    QMetaObject::invokeMethod(this, &EosDiscoveryManager::publish, Qt::QueuedConnection);
}

void EosDiscoveryManager::publish() {
    m_publishPending = false;
    EosDiscoveredHosts hosts = m_hosts.sortedHosts(m_collator);
    if (hosts == m_discoveredHosts)
        return;
    m_discoveredHosts = std::move(hosts);
    emit discoveredHostsChanged();
}

} // namespace pexlora
