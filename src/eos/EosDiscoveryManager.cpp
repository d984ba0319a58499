#include "eos/EosDiscoveryManager.h"

#include "eos/EosDiscoveryWorker.h"

namespace pexlora {

EosDiscoveryManager::EosDiscoveryManager(EosDiscoveryConfig config, QObject* parent)
    : QObject(parent) {
    m_discoveryThread.setObjectName(QStringLiteral("org.pexlora.Pexlora.eos.discovery"));
    m_receiveThread.setObjectName(QStringLiteral("org.pexlora.Pexlora.eos.discovery.rx"));
    m_worker = std::make_unique<EosDiscoveryWorker>(std::move(config), &m_receiveThread);
    m_worker->moveToThread(&m_discoveryThread);
    QObject::connect(m_worker.get(), &EosDiscoveryWorker::hostsPublished, this,
                     &EosDiscoveryManager::publish);
    m_discoveryThread.start(QThread::LowPriority);
    m_receiveThread.start(QThread::LowPriority);
}

EosDiscoveryManager::~EosDiscoveryManager() {
    EosDiscoveryWorker* worker = m_worker.get();
    QMetaObject::invokeMethod(
        worker, [worker] { worker->shutdown(); }, Qt::BlockingQueuedConnection);
    m_discoveryThread.quit();
    m_discoveryThread.wait();
    m_receiveThread.quit();
    m_receiveThread.wait();
    m_worker.reset();
}

template <typename F> void EosDiscoveryManager::post(F&& work) {
    QMetaObject::invokeMethod(m_worker.get(), std::forward<F>(work), Qt::QueuedConnection);
}

void EosDiscoveryManager::settingsOpened() {
    post([worker = m_worker.get()] { worker->setSettingsOpen(true); });
}

void EosDiscoveryManager::settingsClosed() {
    post([worker = m_worker.get()] { worker->setSettingsOpen(false); });
}

void EosDiscoveryManager::setHasConnection(bool connected) {
    post([worker = m_worker.get(), connected] { worker->setHasConnection(connected); });
}

void EosDiscoveryManager::sync() {
    QMetaObject::invokeMethod(
        m_worker.get(), [] {}, Qt::BlockingQueuedConnection);
}

void EosDiscoveryManager::publish(const EosDiscoveredHosts& hosts) {
    if (hosts == m_discoveredHosts)
        return;
    m_discoveredHosts = hosts;
    emit discoveredHostsChanged();
}

} // namespace pexlora
