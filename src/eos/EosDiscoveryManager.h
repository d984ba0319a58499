// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosDiscoveredHost.h"
#include "eos/EosDiscoveryConfig.h"
#include "eos/EosHostTable.h"
#include "eos/UDPTransport.h"

#include <QCollator>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

namespace pexlora {

// Finds Eos consoles with the OSC discovery exchange over UDP: fast while the console
// popover is open, slowly while a link is up, not at all otherwise. Everything runs on
// the thread that created it (the main thread): a few datagrams a minute, read a
// bounded number per turn of its event loop.
class EosDiscoveryManager : public QObject {
    Q_OBJECT

public:
    explicit EosDiscoveryManager(EosDiscoveryConfig config = {}, QObject* parent = nullptr);
    ~EosDiscoveryManager() override;

    // Sorted by name, case-insensitively under the user's locale.
    const EosDiscoveredHosts& discoveredHosts() const { return m_discoveredHosts; }

    // The console popover opened or closed.
    void settingsOpened();
    void settingsClosed();
    // The TCP link became ready (true) or failed or was closed (false).
    void setHasConnection(bool connected);

signals:
    void discoveredHostsChanged();

private:
    void reschedule();
    void startBurst();
    void sendRequest(const std::vector<QString>& destinations);
    void handleDatagram(const QByteArray& data, const QString& senderIP);
    void pruneStale();
    void schedulePublish();
    void publish();

    EosDiscoveryConfig m_config;
    std::unique_ptr<UDPTransport> m_transport;
    std::unique_ptr<EosTimer> m_refreshTimer;
    std::vector<std::unique_ptr<EosTimer>> m_burstSteps;
    EosHostTable m_hosts;
    QCollator m_collator;
    EosDiscoveredHosts m_discoveredHosts;
    bool m_burstInFlight = false;
    int m_burstGeneration = 0;
    bool m_isSettingsOpen = false;
    bool m_hasConnection = false;
    bool m_publishPending = false;
};

} // namespace pexlora
