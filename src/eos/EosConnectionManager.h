#pragma once

#include "eos/EosClock.h"
#include "eos/EosDiscoveryConfig.h"
#include "eos/EosReconnectPolicy.h"
#include "eos/EosSettings.h"
#include "eos/EosTcpLink.h"
#include "model/GridElement.h"
#include "model/ModelTypes.h"

#include <QObject>
#include <QSettings>
#include <QString>
#include <QThread>
#include <chrono>
#include <memory>
#include <optional>

namespace pexlora {

class EosDiscoveryManager;

struct EosConnectionConfig {
    EosDiscoveryConfig discovery;
    EosReconnectPolicy reconnect;
    // An attempt that neither succeeds nor fails in this time counts as failed.
    std::chrono::milliseconds connectTimeout{10000};
    std::shared_ptr<EosClock> clock = EosClock::system();
    // The store of "eosIP" and "eosPort"; the user's settings when none is given.
    std::unique_ptr<QSettings> settings;
    // Where the link goes at start in place of the stored console, which stays stored.
    std::optional<EosConsoleAddress> startConsole;
};

// The one send-only TCP link from the application to an Eos console. State and
// operations belong to the thread that created it (the main thread); the socket
// lives on the link queue "org.pexlora.Pexlora.eos.tcp". A link that fails is
// retried by itself, to the same console, until the user connects elsewhere.
class EosConnectionManager : public QObject {
    Q_OBJECT

public:
    // Connects at once to the start console, or else to the stored "eosIP" if there is one.
    explicit EosConnectionManager(EosConnectionConfig config = {}, QObject* parent = nullptr);
    ~EosConnectionManager() override;

    // True while the current connection is established; connectedIP is its host then.
    bool isConnected() const { return m_isConnected; }
    const std::optional<QString>& connectedIP() const { return m_connectedIP; }

    // Where the link goes while it is being attempted, held or retried: the host as
    // connected to (trimmed) and the port as given. Absent while idle.
    std::optional<EosConsoleAddress> connectionTarget() const;

    EosDiscoveryManager& discovery() { return *m_discovery; }
    QSettings& settings() { return *m_settings; }

    // Drops the current link and any pending retry, then connects to `host` (trimmed
    // of blanks; a host name or a numeric address) unless it is empty. The port is
    // clamped to 1–65535.
    void connect(const QString& host, int port);

    // One OSC message with one string argument, SLIP-framed; dropped unless connected.
    void send(const QString& address, const QString& argument);

    // Records the selection on the console as group `groupNumber`: the command line,
    // then the group's channel list. Sends nothing for an invalid group number or an
    // empty channel list.
    void recordGroup(const QString& groupNumber, const SelectionGroups& selectionGroups,
                     const GridElements& elements);

signals:
    void isConnectedChanged();
    void connectedIPChanged();

private:
    enum class LinkState { idle, connecting, linked, retryPending };
    struct LinkDeleter {
        void operator()(EosTcpLink* link) const;
    };

    void connectTo(const QString& host, int port, bool automatic);
    void handleLinkState(quint64 connectionID, EosTcpLink::State state);
    void linkFailed();
    void setConnected(std::optional<QString> ip);
    // One message as a SLIP frame; nothing when it cannot be encoded.
    static std::optional<QByteArray> frame(const QString& address, const QString& argument);
    // Messages are dropped unless this holds: nothing is queued for a link to come.
    bool linkUp() const;
    void write(const QByteArray& frames);

    EosConnectionConfig m_config;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<EosDiscoveryManager> m_discovery;
    QThread m_queue;
    std::unique_ptr<EosTcpLink, LinkDeleter> m_connection;
    quint64 m_connectionID = 0;
    LinkState m_state = LinkState::idle;
    QString m_host; // as passed to connect, for the retries
    int m_port = 0;
    int m_consecutiveFailures = 0;
    std::unique_ptr<EosTimer> m_reconnectWork;
    std::unique_ptr<EosTimer> m_connectTimeout;
    bool m_isConnected = false;
    std::optional<QString> m_connectedIP;
};

} // namespace pexlora
