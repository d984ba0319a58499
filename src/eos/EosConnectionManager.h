// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosClock.h"
#include "eos/EosConsoleFeedback.h"
#include "eos/EosConsoleHealth.h"
#include "eos/EosDiscoveryConfig.h"
#include "eos/EosFraming.h"
#include "eos/EosFramingStep.h"
#include "eos/EosLink.h"
#include "eos/EosLinkState.h"
#include "eos/EosListAssembler.h"
#include "eos/EosLiveness.h"
#include "eos/EosReconnectPolicy.h"
#include "eos/EosSettings.h"
#include "eos/EosTrafficLog.h"
#include "model/GridElement.h"
#include "model/ModelTypes.h"
#include "osc/OSCMessage.h"

#include <QObject>
#include <QSettings>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace pexlora {

class EosDiscoveryManager;
class EosGroupDirectory;
class EosGroupRecorder;
class EosPatchDirectory;

struct EosConnectionConfig {
    EosDiscoveryConfig discovery;
    EosReconnectPolicy reconnect;
    // An attempt at one address that neither succeeds nor fails in this time counts as failed.
    std::chrono::milliseconds connectTimeout{10000};
    // How long a framing is given to be answered before the next is tried.
    std::chrono::milliseconds framingTimeout{2000};
    EosLiveness::Periods liveness;
    // A link that ends sooner than this after opening does not restart the back-off.
    std::chrono::milliseconds stableAfter{5000};
    std::shared_ptr<EosClock> clock = EosClock::system();
    // Makes each connection; TCP links that give up after `connectTimeout` when none is given.
    EosLinkFactory makeLink;
    // The store of "eosIP", "eosPort" and "eosFraming"; the user's settings when none is given.
    std::unique_ptr<QSettings> settings;
    // Whether the desk's groups and patch are read once it answers. The link's own tests,
    // which count every message and timer of the link, leave them out.
    bool readsShowData = true;
    // Where the link goes at start in place of the stored console, which stays stored.
    std::optional<EosConsoleAddress> startConsole;
};

// The one TCP link from the application to an Eos console, on the main thread. It
// finds the framing the console reads, keeps asking whether the console is still
// there, shows what the console says of itself, and retries by itself, to the same
// console, until the user connects elsewhere.
class EosConnectionManager : public QObject {
    Q_OBJECT

public:
    // Connects at once to the start console, or else to the stored "eosIP" if there is one.
    explicit EosConnectionManager(EosConnectionConfig config = {}, QObject* parent = nullptr);
    ~EosConnectionManager() override;

    // True while a TCP connection is established; connectedIP is its host then.
    bool isConnected() const { return m_state.isUp(); }
    std::optional<QString> connectedIP() const;

    // Where the link goes while it is being attempted, held or retried: the host as
    // connected to (trimmed) and the port as given. Absent while idle.
    std::optional<EosConsoleAddress> connectionTarget() const;

    EosDiscoveryManager& discovery() { return *m_discovery; }
    // The desk's groups, read while it answers.
    EosGroupDirectory& groups() { return *m_groups; }
    // The desk's patch, read while it answers.
    EosPatchDirectory& patch() { return *m_patch; }
    QSettings& settings() { return *m_settings; }

    // Drops the current link and any pending retry, then connects to `host` (trimmed
    // of blanks; a host name or a numeric address) unless it is empty. The port is
    // clamped to 1–65535. The back-off starts afresh.
    void connectToConsole(const QString& host, int port);
    // Drops the current link and any pending retry; nothing is retried until the user
    // connects again. The stored console stays stored, for the next start.
    void disconnectFromConsole();

    // Why the link is down while it is being retried: while the retry waits and while
    // it connects. Absent while idle, up, or on an attempt the user asked for.
    std::optional<EosLinkFailure> lastFailure() const { return m_state.failure(); }
    // When the next automatic attempt is due on the link's clock, while one waits.
    std::optional<std::chrono::milliseconds> retryAt() const { return m_state.retryAt(); }
    // From now to that attempt, never below zero.
    std::optional<std::chrono::milliseconds> timeToRetry() const;
    // The clock the link's timers and the retry's time are on.
    const std::shared_ptr<EosClock>& clock() const { return m_config.clock; }

    // The framing the user chose, stored under "eosFraming"; changing it reconnects.
    EosFramingChoice framingChoice() const;
    void setFramingChoice(EosFramingChoice choice);
    // The framing in use while a link is up.
    std::optional<EosFraming> framing() const { return m_state.shownFraming(); }
    EosConsoleHealth health() const { return m_state.health(); }
    // "" until the console answered "/eos/get/version".
    QString consoleVersion() const { return m_feedback.published().version; }
    // The console's command line as it last echoed it.
    QString consoleCommandLine() const { return m_feedback.published().commandLine; }
    // The raw text of the console's last "/eos/out/active/chan"; "" when none or no link.
    QString consoleActiveChannels() const { return m_feedback.published().activeChannels; }

    // Whether a message goes to the console as soon as it is sent: the console answers,
    // or the link settled on a framing without an answer, or the user chose the framing.
    bool sendsAtOnce() const;
    // One OSC message to the console. Dropped unless a link is up; held while the
    // framing is being found, and then sent in the framing found.
    void sendMessage(const OSCMessage& message);
    // One OSC message with one string argument, as above.
    void send(const QString& address, const QString& argument);

    // Where every message written to or read from the link is recorded while someone
    // watches; null, the usual case, records nothing. The log must outlive its use here.
    void setTrafficLog(EosTrafficLog* log) { m_traffic = log; }
    EosTrafficLog* trafficLog() const { return m_traffic; }

    // Records the selection on the console as group `groupNumber`: the recording user
    // selects the channels and records the group, the group's channel list is set, and
    // the group is read back to confirm it (see recorder()). Does nothing for an invalid
    // group number or an empty selection.
    void recordGroup(const QString& groupNumber, const SelectionGroups& selectionGroups,
                     const GridElements& elements);
    // What became of the last recording.
    EosGroupRecorder& recorder() { return *m_recorder; }

signals:
    void connectionTargetChanged();
    void lastFailureChanged();
    void retryAtChanged();
    void isConnectedChanged();
    void connectedIPChanged();
    void framingChanged();
    void healthChanged();
    void consoleVersionChanged();
    void consoleCommandLineChanged();
    void consoleActiveChannelsChanged();
    // Every whole message from the console (split lists joined), as it arrives.
    void messageReceived(const pexlora::OSCMessage& message);

private:
    struct LinkDeleter {
        void operator()(EosLink* link) const;
    };

    // Every change of the link state goes through here, and the change signals with it.
    void enter(EosLinkState::Value next);

    void connectTo(const QString& host, int port, bool automatic);
    void linkReady();
    void linkEnded(const EosLinkFailure& failure);
    void framingTimedOut();
    void answered();
    // `event` is what ended the framing tried, for the next one to know; `cause` the
    // failure a step that drops the link is put down to.
    void take(const EosFramingStep& step, EosFramingEvent event, const EosLinkFailure& cause);
    void fail(bool afterSilence, const EosLinkFailure& failure);
    void openLink(EosFraming framing);
    void closeLink();
    void startLiveness();
    void flushHeld();
    void handleMessage(const OSCMessage& message);
    void writeNow(const OSCMessage& message);
    QString consoleKey() const;
    std::optional<EosFraming> rememberedFraming() const;
    void rememberFraming(EosFraming framing);

    EosConnectionConfig m_config;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<EosDiscoveryManager> m_discovery;
    std::unique_ptr<EosGroupDirectory> m_groups;
    std::unique_ptr<EosGroupRecorder> m_recorder;
    std::unique_ptr<EosPatchDirectory> m_patch;
    std::unique_ptr<EosLink, LinkDeleter> m_link;
    EosLinkState m_state;
    QString m_host; // as passed to connect, for the retries
    int m_port = 0;
    // The target last announced by connectionTargetChanged.
    std::optional<EosConsoleAddress> m_announcedTarget;
    EosFramingChoice m_choice = EosFramingChoice::automatic; // as it was on connecting
    // The back-off counts failures in a row; a link up for `stableAfter` clears them.
    int m_consecutiveFailures = 0;
    std::unique_ptr<EosTimer> m_stableTimer;
    std::vector<OSCMessage> m_held; // sent once the framing is settled
    EosLiveness m_liveness;
    EosListAssembler m_lists;
    EosConsoleFeedback m_feedback;
    EosTrafficLog* m_traffic = nullptr;
};

} // namespace pexlora
