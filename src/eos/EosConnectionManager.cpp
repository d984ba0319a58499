// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosConnectionManager.h"

#include "eos/EosCommandLines.h"
#include "eos/EosDiscoveryManager.h"
#include "eos/EosGroupDirectory.h"
#include "eos/EosGroupRecorder.h"
#include "eos/EosPatchDirectory.h"
#include "eos/EosSettings.h"
#include "osc/OSCMessageEncoder.h"

#include <QSettings>
#include <QVariantMap>
#include <algorithm>

namespace pexlora {

namespace {

// The framing each console answered in, by "host:port".
const QString framingByConsoleKey = QStringLiteral("eosFramingByConsole");
constexpr std::size_t maxHeldMessages = 256;

bool isAnswer(std::string_view address) {
    return address == "/eos/out/ping" || address == "/eos/out/get/version";
}

} // namespace

void EosConnectionManager::LinkDeleter::operator()(EosLink* link) const {
    link->disconnect();
    link->close();
    // It may be the link whose signal is being handled.
    link->deleteLater();
}

EosConnectionManager::EosConnectionManager(EosConnectionConfig config, QObject* parent)
    : QObject(parent)
    , m_config(std::move(config))
    , m_settings(std::move(m_config.settings))
    , m_liveness(m_config.clock, m_config.liveness)
    , m_feedback([this](const EosConsoleFields& before, const EosConsoleFields& after) {
        if (before.version != after.version)
            emit consoleVersionChanged();
        if (before.commandLine != after.commandLine)
            emit consoleCommandLineChanged();
        if (before.activeChannels != after.activeChannels)
            emit consoleActiveChannelsChanged();
    }) {
    if (!m_settings)
        m_settings = std::make_unique<QSettings>(QStringLiteral("Pexlora"), QStringLiteral("Pexlora"));
    if (!m_config.makeLink)
        m_config.makeLink = tcpLinkFactory(m_config.clock, m_config.connectTimeout);
    m_discovery = std::make_unique<EosDiscoveryManager>(m_config.discovery);
    m_groups = std::make_unique<EosGroupDirectory>(m_config.clock,
                                                   [this](const OSCMessage& message) { sendMessage(message); });
    m_recorder = std::make_unique<EosGroupRecorder>(*this, m_config.clock);
    m_patch = std::make_unique<EosPatchDirectory>(*this, m_config.clock);

    if (m_config.startConsole) {
        connectToConsole(m_config.startConsole->host, m_config.startConsole->port);
        return;
    }
    const QString storedHost = m_settings->value(eosIPKey).toString();
    if (!storedHost.trimmed().isEmpty())
        connectToConsole(storedHost, eosPortFromText(m_settings->value(eosPortKey).toString()));
}

EosConnectionManager::~EosConnectionManager() {
    m_link.reset();
}

std::optional<QString> EosConnectionManager::connectedIP() const {
    if (!isConnected())
        return std::nullopt;
    return m_host.trimmed();
}

std::optional<EosConsoleAddress> EosConnectionManager::connectionTarget() const {
    if (m_state.is<EosLinkState::Idle>())
        return std::nullopt;
    return EosConsoleAddress{m_host.trimmed(), m_port};
}

void EosConnectionManager::connectToConsole(const QString& host, int port) {
    connectTo(host, port, false);
}

void EosConnectionManager::disconnectFromConsole() {
    connectTo(QString(), m_port, false);
}

std::optional<std::chrono::milliseconds> EosConnectionManager::timeToRetry() const {
    const auto at = retryAt();
    if (!at)
        return std::nullopt;
    return std::max(*at - m_config.clock->now(), std::chrono::milliseconds(0));
}

EosFramingChoice EosConnectionManager::framingChoice() const {
    return framingChoiceFromKey(m_settings->value(eosFramingKey).toString())
        .value_or(EosFramingChoice::automatic);
}

void EosConnectionManager::setFramingChoice(EosFramingChoice choice) {
    if (choice == framingChoice() && m_settings->contains(eosFramingKey))
        return;
    m_settings->setValue(eosFramingKey, framingChoiceKey(choice));
    if (!m_state.is<EosLinkState::Idle>())
        connectTo(m_host, m_port, false);
}

void EosConnectionManager::enter(EosLinkState::Value next) {
    const bool wasUp = m_state.isUp();
    const bool wasAnswering = m_state.is<EosLinkState::Answering>();
    const bool wasSettled = wasAnswering || m_state.is<EosLinkState::Silent>();
    const auto framingBefore = m_state.shownFraming();
    const EosConsoleHealth healthBefore = m_state.health();
    const auto failureBefore = m_state.failure();
    const auto retryBefore = m_state.retryAt();
    m_state.value = std::move(next);

    if (connectionTarget() != m_announcedTarget) {
        m_announcedTarget = connectionTarget();
        emit connectionTargetChanged();
    }
    if (m_state.failure() != failureBefore)
        emit lastFailureChanged();
    if (m_state.retryAt() != retryBefore)
        emit retryAtChanged();

    if (m_state.isUp() != wasUp) {
        m_discovery->setHasConnection(m_state.isUp());
        emit isConnectedChanged();
        emit connectedIPChanged();
    }
    if (m_state.shownFraming() != framingBefore)
        emit framingChanged();
    if (m_state.health() != healthBefore)
        emit healthChanged();

    // The groups and the patch are read on a link that has settled, and again once a silent
    // one answers; a silent desk leaves them unreadable.
    const bool answering = m_state.is<EosLinkState::Answering>();
    if (m_config.readsShowData &&
        ((answering && !wasAnswering) || (m_state.is<EosLinkState::Silent>() && !wasSettled))) {
        m_groups->start();
        m_patch->start();
    } else if (!m_state.isUp()) {
        m_groups->stop();
        m_patch->stop();
    }
}

void EosConnectionManager::connectTo(const QString& host, int port, bool automatic) {
    // Only the retries of the link that went silent go on calling the console gone.
    const bool afterSilence = automatic && m_state.afterSilence();
    const auto retrying = automatic ? m_state.failure() : std::nullopt;
    if (!automatic)
        m_consecutiveFailures = 0;
    closeLink();
    m_held.clear();
    m_feedback.clear();
    if (host.trimmed().isEmpty()) {
        enter(EosLinkState::Idle{});
        return;
    }
    m_host = host;
    m_port = port;
    m_choice = framingChoice();
    std::vector<EosFraming> attempts = framingAttempts(m_choice, rememberedFraming(), port);
    const EosFraming first = attempts.front();
    attempts.erase(attempts.begin());
    enter(EosLinkState::Connecting{first, std::move(attempts), afterSilence, retrying});
    openLink(first);
}

void EosConnectionManager::linkReady() {
    auto* connecting = m_state.as<EosLinkState::Connecting>();
    auto* reopening = m_state.as<EosLinkState::Reopening>();
    if (!connecting && !reopening)
        return;
    if (!m_stableTimer)
        m_stableTimer =
            m_config.clock->startOnce(this, m_config.stableAfter, [this] { m_consecutiveFailures = 0; });
    startLiveness();

    if (reopening && reopening->lastResort) {
        enter(EosLinkState::Silent{reopening->framing});
        flushHeld();
        return;
    }
    EosLinkState::Probing probing =
        connecting ? EosLinkState::Probing{connecting->framing, std::move(connecting->untried),
                                           connecting->afterSilence, nullptr, std::nullopt}
                   : EosLinkState::Probing{reopening->framing, std::move(reopening->untried),
                                           reopening->afterSilence, nullptr, reopening->before};
    probing.timeout = m_config.clock->startOnce(this, m_config.framingTimeout, [this] { framingTimedOut(); });
    enter(std::move(probing));
    if (sendsAtOnce())
        flushHeld();
}

void EosConnectionManager::framingTimedOut() {
    if (const auto* probing = m_state.as<EosLinkState::Probing>())
        take(nextFramingStep(
                 {m_choice, probing->framing, probing->untried, probing->afterSilence, probing->before},
                 EosFramingEvent::timedOut),
             EosFramingEvent::timedOut, {EosLinkFailure::Kind::stoppedAnswering, {}, {}});
}

void EosConnectionManager::linkEnded(const EosLinkFailure& failure) {
    if (const auto* probing = m_state.as<EosLinkState::Probing>()) {
        take(nextFramingStep(
                 {m_choice, probing->framing, probing->untried, probing->afterSilence, probing->before},
                 EosFramingEvent::ended),
             EosFramingEvent::ended, failure);
        return;
    }
    fail(m_state.afterSilence(), failure);
}

void EosConnectionManager::answered() {
    if (const auto* probing = m_state.as<EosLinkState::Probing>())
        take(nextFramingStep(
                 {m_choice, probing->framing, probing->untried, probing->afterSilence, probing->before},
                 EosFramingEvent::answered),
             EosFramingEvent::answered, {});
    else if (const auto* silent = m_state.as<EosLinkState::Silent>())
        take(nextFramingStep({m_choice, silent->framing, {}, false, std::nullopt}, EosFramingEvent::answered),
             EosFramingEvent::answered, {});
}

void EosConnectionManager::take(const EosFramingStep& step, EosFramingEvent event, const EosLinkFailure& cause) {
    using Action = EosFramingStep::Action;
    switch (step.action) {
    case Action::keep:
        rememberFraming(step.framing);
        enter(EosLinkState::Answering{step.framing});
        flushHeld();
        return;
    case Action::settle:
        enter(EosLinkState::Silent{step.framing});
        flushHeld();
        return;
    case Action::drop:
        fail(m_state.afterSilence(), cause);
        return;
    case Action::reopen:
    case Action::lastResort:
        break;
    }
    auto* probing = m_state.as<EosLinkState::Probing>();
    if (!probing)
        return;
    std::vector<EosFraming> untried = std::move(probing->untried);
    if (step.action == Action::reopen && !untried.empty())
        untried.erase(untried.begin());
    m_liveness.stop();
    m_link.reset();
    enter(EosLinkState::Reopening{probing->framing, step.framing, std::move(untried), probing->afterSilence,
                                  step.action == Action::lastResort, event});
    openLink(step.framing);
}

void EosConnectionManager::fail(bool afterSilence, const EosLinkFailure& failure) {
    closeLink();
    m_held.clear();
    m_feedback.clear();
    ++m_consecutiveFailures;
    const std::chrono::milliseconds delay = m_config.reconnect.delayAfter(m_consecutiveFailures);
    auto retry = m_config.clock->startOnce(
        this, delay, [this, host = m_host, port = m_port] { connectTo(host, port, true); });
    enter(EosLinkState::RetryPending{afterSilence, failure, m_config.clock->now() + delay, std::move(retry)});
}

void EosConnectionManager::openLink(EosFraming framing) {
    m_link.reset(m_config.makeLink(framing).release());
    QObject::connect(m_link.get(), &EosLink::ready, this, &EosConnectionManager::linkReady);
    QObject::connect(m_link.get(), &EosLink::ended, this, &EosConnectionManager::linkEnded);
    QObject::connect(m_link.get(), &EosLink::messageReceived, this, &EosConnectionManager::handleMessage);
    m_link->open(m_host.trimmed(), static_cast<std::uint16_t>(std::clamp(m_port, 1, 65535)));
}

void EosConnectionManager::closeLink() {
    m_stableTimer.reset();
    m_liveness.stop();
    m_link.reset();
}

void EosConnectionManager::startLiveness() {
    m_liveness.start(
        this, [this] { writeNow(OSCMessage("/eos/ping", {})); },
        [this] {
            fail(true, {EosLinkFailure::Kind::stoppedAnswering, {}, {}});
        });
    writeNow(OSCMessage("/eos/ping", {}));
    writeNow(OSCMessage("/eos/get/version", {}));
}

void EosConnectionManager::handleMessage(const OSCMessage& part) {
    // The parts of a split list are recorded as they came, before they are joined: the
    // traffic is what crossed the wire, and a part that never completes shows there too.
    if (m_traffic)
        m_traffic->record(EosTrafficDirection::in, part, m_config.clock->now());
    const auto message = m_lists.take(part);
    if (!message)
        return;
    const bool answer = isAnswer(message->addressPattern.rawAddress());
    m_liveness.heard(answer);
    if (answer)
        answered();
    m_feedback.take(*message);
    m_groups->take(*message);
    emit messageReceived(*message);
}

QString EosConnectionManager::consoleKey() const {
    return m_host.trimmed() + QLatin1Char(':') + QString::number(m_port);
}

std::optional<EosFraming> EosConnectionManager::rememberedFraming() const {
    const QString text = m_settings->value(framingByConsoleKey).toMap().value(consoleKey()).toString();
    const auto choice = framingChoiceFromKey(text);
    if (choice == EosFramingChoice::slip)
        return EosFraming::slip;
    if (choice == EosFramingChoice::length)
        return EosFraming::length;
    return std::nullopt;
}

void EosConnectionManager::rememberFraming(EosFraming framing) {
    QVariantMap byConsole = m_settings->value(framingByConsoleKey).toMap();
    const QString text =
        framingChoiceKey(framing == EosFraming::slip ? EosFramingChoice::slip : EosFramingChoice::length);
    if (byConsole.value(consoleKey()).toString() == text)
        return;
    byConsole.insert(consoleKey(), text);
    m_settings->setValue(framingByConsoleKey, byConsole);
}

void EosConnectionManager::writeNow(const OSCMessage& message) {
    if (!m_link)
        return;
    const auto encoded = encodeOSC(message);
    if (!encoded.ok())
        return;
    m_link->write(encoded.value());
    if (m_traffic)
        m_traffic->record(EosTrafficDirection::out, message, m_config.clock->now());
}

bool EosConnectionManager::sendsAtOnce() const {
    return m_state.is<EosLinkState::Answering>() || m_state.is<EosLinkState::Silent>() ||
           (m_state.is<EosLinkState::Probing>() && m_choice != EosFramingChoice::automatic);
}

void EosConnectionManager::flushHeld() {
    for (const OSCMessage& message : std::exchange(m_held, {}))
        writeNow(message);
}

void EosConnectionManager::sendMessage(const OSCMessage& message) {
    // Nothing is queued for a link to come: only a link that is up holds a message back.
    if (!isConnected())
        return;
    if (sendsAtOnce()) {
        writeNow(message);
        return;
    }
    if (m_held.size() < maxHeldMessages)
        m_held.push_back(message);
}

void EosConnectionManager::send(const QString& address, const QString& argument) {
    sendMessage(OSCMessage(OSCAddressPattern(address.toStdString()), {OSCValue(argument.toStdString())}));
}

void EosConnectionManager::recordGroup(const QString& groupNumber, const SelectionGroups& selectionGroups,
                                       const GridElements& elements) {
    // The number goes into an OSC address as typed; the recorder checks it too.
    m_recorder->record(groupNumber, selectedChannelNumbers(selectionGroups, elements),
                       channelListText(selectionGroups, elements));
}

} // namespace pexlora
