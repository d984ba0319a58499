#include "eos/EosConnectionManager.h"

#include "eos/EosCommandLines.h"
#include "eos/EosDiscoveryManager.h"
#include "eos/EosSettings.h"
#include "osc/OSCMessageEncoder.h"
#include "osc/SLIPEncoder.h"

#include <QSettings>
#include <algorithm>

namespace pexlora {

void EosConnectionManager::LinkDeleter::operator()(EosTcpLink* link) const {
    // It lives on the link queue: it goes there, closing its socket, or when that queue ends.
    link->deleteLater();
}

EosConnectionManager::EosConnectionManager(EosConnectionConfig config, QObject* parent)
    : QObject(parent)
    , m_config(std::move(config))
    , m_settings(std::move(m_config.settings)) {
    if (!m_settings)
        m_settings = std::make_unique<QSettings>(QStringLiteral("Pexlora"), QStringLiteral("Pexlora"));
    m_discovery = std::make_unique<EosDiscoveryManager>(m_config.discovery);
    m_queue.setObjectName(QStringLiteral("org.pexlora.Pexlora.eos.tcp"));
    m_queue.start(QThread::NormalPriority);

    if (m_config.startConsole) {
        connect(m_config.startConsole->host, m_config.startConsole->port);
        return;
    }
    const QString storedHost = m_settings->value(eosIPKey).toString();
    if (!storedHost.trimmed().isEmpty())
        connect(storedHost, eosPortFromText(m_settings->value(eosPortKey).toString()));
}

EosConnectionManager::~EosConnectionManager() {
    m_reconnectWork.reset();
    m_connectTimeout.reset();
    m_connection.reset();
    m_queue.quit();
    m_queue.wait();
}

void EosConnectionManager::connect(const QString& host, int port) {
    connectTo(host, port, false);
}

void EosConnectionManager::connectTo(const QString& host, int port, bool automatic) {
    m_reconnectWork.reset();
    m_connectTimeout.reset();
    if (m_connection) {
        m_connection.reset();
        // What the closed link's own "cancelled" report would say; that report is
        // ignored when it comes, as it no longer belongs to the current connection.
        m_discovery->setHasConnection(false);
    }
    setConnected(std::nullopt);
    m_state = LinkState::idle;
    if (!automatic)
        m_consecutiveFailures = 0;

    const QString trimmed = host.trimmed();
    if (trimmed.isEmpty())
        return;
    m_host = host;
    m_port = port;
    m_state = LinkState::connecting;
    m_connection.reset(new EosTcpLink(++m_connectionID));
    m_connection->moveToThread(&m_queue);
    QObject::connect(m_connection.get(), &EosTcpLink::stateChanged, this,
                     &EosConnectionManager::handleLinkState);
    EosTcpLink* link = m_connection.get();
    const auto clamped = static_cast<std::uint16_t>(std::clamp(port, 1, 65535));
    QMetaObject::invokeMethod(
        link, [link, trimmed, clamped] { link->open(trimmed, clamped); }, Qt::QueuedConnection);
    m_connectTimeout = m_config.clock->startOnce(this, m_config.connectTimeout, [this] {
        if (m_state != LinkState::connecting)
            return;
        EosTcpLink* stuck = m_connection.get();
        QMetaObject::invokeMethod(
            stuck, [stuck] { stuck->cancel(); }, Qt::QueuedConnection);
        linkFailed();
    });
}

std::optional<EosConsoleAddress> EosConnectionManager::connectionTarget() const {
    if (m_state == LinkState::idle)
        return std::nullopt;
    return EosConsoleAddress{m_host.trimmed(), m_port};
}

void EosConnectionManager::handleLinkState(quint64 connectionID, EosTcpLink::State state) {
    // Reports of a replaced connection, or of one already given up, change nothing.
    const bool current =
        connectionID == m_connectionID && (m_state == LinkState::connecting || m_state == LinkState::linked);
    if (!current)
        return;
    switch (state) {
    case EosTcpLink::State::ready:
        if (m_state != LinkState::connecting)
            return;
        m_connectTimeout.reset();
        m_state = LinkState::linked;
        m_consecutiveFailures = 0;
        setConnected(m_host.trimmed());
        m_discovery->setHasConnection(true);
        break;
    case EosTcpLink::State::failed:
        linkFailed();
        break;
    case EosTcpLink::State::cancelled:
        m_connectTimeout.reset();
        m_state = LinkState::idle;
        setConnected(std::nullopt);
        m_discovery->setHasConnection(false);
        break;
    }
}

void EosConnectionManager::linkFailed() {
    m_connectTimeout.reset();
    m_state = LinkState::retryPending;
    setConnected(std::nullopt);
    m_discovery->setHasConnection(false);
    ++m_consecutiveFailures;
    m_reconnectWork =
        m_config.clock->startOnce(this, m_config.reconnect.delayAfter(m_consecutiveFailures),
                                  [this, host = m_host, port = m_port] { connectTo(host, port, true); });
}

void EosConnectionManager::setConnected(std::optional<QString> ip) {
    const bool connected = ip.has_value();
    const bool ipChanged = ip != m_connectedIP;
    m_connectedIP = std::move(ip);
    if (connected != m_isConnected) {
        m_isConnected = connected;
        emit isConnectedChanged();
    }
    if (ipChanged)
        emit connectedIPChanged();
}

std::optional<QByteArray> EosConnectionManager::frame(const QString& address, const QString& argument) {
    const auto encoded =
        encodeOSC(OSCMessage(OSCAddressPattern(address.toStdString()), {OSCValue(argument.toStdString())}));
    if (!encoded.ok())
        return std::nullopt;
    const std::vector<std::uint8_t> framed = encodeSLIPFrame(encoded.value());
    return QByteArray(reinterpret_cast<const char*>(framed.data()), static_cast<qsizetype>(framed.size()));
}

bool EosConnectionManager::linkUp() const {
    return m_connection && m_isConnected;
}

void EosConnectionManager::write(const QByteArray& frames) {
    if (frames.isEmpty())
        return;
    EosTcpLink* link = m_connection.get();
    QMetaObject::invokeMethod(
        link, [link, frames] { link->write(frames); }, Qt::QueuedConnection);
}

void EosConnectionManager::send(const QString& address, const QString& argument) {
    if (!linkUp())
        return;
    write(frame(address, argument).value_or(QByteArray()));
}

void EosConnectionManager::recordGroup(const QString& groupNumber, const SelectionGroups& selectionGroups,
                                       const GridElements& elements) {
    // The number goes into an OSC address as typed; the popover checks it too.
    if (!isValidGroupNumber(groupNumber))
        return;
    const QString channels = channelListText(selectionGroups, elements);
    if (channels.isEmpty())
        return;
    if (!linkUp())
        return;
    // Both messages in one write: one wake-up of the link queue, one system call.
    QByteArray frames;
    for (const EosCommand& command :
         {recordGroupCommandLine(groupNumber), groupChannelsCommand(groupNumber, channels)})
        frames += frame(command.address, command.argument).value_or(QByteArray());
    write(frames);
}

} // namespace pexlora
