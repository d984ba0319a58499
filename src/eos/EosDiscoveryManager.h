#pragma once

#include "eos/EosDiscoveredHost.h"
#include "eos/EosDiscoveryConfig.h"

#include <QObject>
#include <QThread>
#include <memory>

namespace pexlora {

class EosDiscoveryWorker;

// Finds Eos consoles with the OSC discovery exchange over UDP: fast while the console
// popover is open, slowly while a link is up, not at all otherwise. The work runs on
// its own queue ("org.pexlora.Pexlora.eos.discovery", with a receive queue beside it);
// the public operations only post to it, and `discoveredHosts` changes on the
// thread that created the manager (the main thread).
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

    // Returns once the discovery queue has handled everything posted to it before.
    void sync();

signals:
    void discoveredHostsChanged();

private:
    void publish(const EosDiscoveredHosts& hosts);
    template <typename F> void post(F&& work);

    QThread m_discoveryThread;
    QThread m_receiveThread;
    std::unique_ptr<EosDiscoveryWorker> m_worker;
    EosDiscoveredHosts m_discoveredHosts;
};

} // namespace pexlora
