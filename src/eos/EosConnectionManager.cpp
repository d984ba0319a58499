#include "eos/EosConnectionManager.h"

#include "eos/EosCommandLines.h"
#include "eos/EosDiscoveryManager.h"
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

void EosConnectionManager::LinkDeleter::operator()(EosTcpLink* link) const {
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
    m_discovery = std::make_unique<EosDiscoveryManager>(m_config.discovery);

    if (m_config.startConsole) {
        connectToConsole(m_config.startConsole->host, m_config.startConsole->port);
        return;
    }
    const QString storedHost = m_settings->value(eosIPKey).toString();
    if (!storedHost.trimmed().isEmpty())
        connectToConsole(storedHost, eosPortFromText(m_settings->value(eosPortKey).toString()));
}

EosConnectionManager::~EosConnectionManager() {
    m_reconnectWork.reset();
    m_link.reset();
}

void EosConnectionManager::connectToConsole(const QString& host, int port) {
    connectTo(host, port, false);
}

EosFramingChoice EosConnectionManager::framingChoice() const {
    return framingChoiceFromKey(m_settings->value(eosFramingKey).toString())
        .value_or(EosFramingChoice::automatic);
}

void EosConnectionManager::setFramingChoice(EosFramingChoice choice) {
    if (choice == framingChoice() && m_settings->contains(eosFramingKey))
        return;
    m_settings->setValue(eosFramingKey, framingChoiceKey(choice));
    if (m_state != LinkState::idle)
        connectTo(m_host, m_port, false);
}

void EosConnectionManager::connectTo(const QString& host, int port, bool automatic) {
    m_reconnectWork.reset();
    dropLink();
    m_held.clear();
    setConnected(std::nullopt);
    setFraming(std::nullopt);
    m_feedback.clear();
    m_state = LinkState::idle;
    if (!automatic) {
        m_consecutiveFailures = 0;
        m_retryingGone = false;
    }
    setHealth(m_retryingGone ? EosConsoleHealth::gone : EosConsoleHealth::offline);

    if (host.trimmed().isEmpty())
        return;
    m_host = host;
    m_port = port;
    m_attempts = framingAttempts(framingChoice(), rememberedFraming());
    m_fallback = false;
    const EosFraming first = m_attempts.front();
    m_attempts.erase(m_attempts.begin());
    openLink(first);
}

void EosConnectionManager::openLink(EosFraming framing) {
    m_state = LinkState::connecting;
    m_settled = false;
    m_link.reset(new EosTcpLink(framing, m_config.clock, m_config.connectTimeout));
    QObject::connect(m_link.get(), &EosTcpLink::ready, this, &EosConnectionManager::linkReady);
    QObject::connect(m_link.get(), &EosTcpLink::ended, this, &EosConnectionManager::linkEnded);
    QObject::connect(m_link.get(), &EosTcpLink::messageReceived, this, &EosConnectionManager::handleMessage);
    m_link->open(m_host.trimmed(), static_cast<std::uint16_t>(std::clamp(m_port, 1, 65535)));
}

// Another framing on a fresh connection: a desk closes one on which it was sent bytes
// it cannot read. The link counts as up meanwhile, so the window does not flicker.
void EosConnectionManager::switchFraming(EosFraming framing) {
    m_framingTimeout.reset();
    m_liveness.stop();
    m_link.reset();
    openLink(framing);
}

std::optional<EosConsoleAddress> EosConnectionManager::connectionTarget() const {
    if (m_state == LinkState::idle)
        return std::nullopt;
    return EosConsoleAddress{m_host.trimmed(), m_port};
}

void EosConnectionManager::linkReady() {
    m_state = LinkState::linked;
    if (!m_isConnected)
        m_discovery->setHasConnection(true);
    setConnected(m_host.trimmed());
    setFraming(m_link->framing());
    if (!m_stableTimer)
        m_stableTimer =
            m_config.clock->startOnce(this, m_config.stableAfter, [this] { m_consecutiveFailures = 0; });

    m_liveness.start(
        this, [this] { writeNow(OSCMessage("/eos/ping", {})); }, [this] { consoleGone(); });
    writeNow(OSCMessage("/eos/ping", {}));
    writeNow(OSCMessage("/eos/get/version", {}));

    const bool automatic = framingChoice() == EosFramingChoice::automatic;
    if (!automatic || m_fallback)
        flushHeld();
    if (m_fallback && !m_retryingGone) {
        setHealth(EosConsoleHealth::silent);
        return;
    }
    if (!m_retryingGone)
        setHealth(EosConsoleHealth::settling);
    m_framingTimeout =
        m_config.clock->startOnce(this, m_config.framingTimeout, [this] { framingUnanswered(); });
}

void EosConnectionManager::framingUnanswered() {
    m_framingTimeout.reset();
    // A console that went silent may be back with its framing changed: each is tried again.
    if (!m_attempts.empty()) {
        const EosFraming next = m_attempts.front();
        m_attempts.erase(m_attempts.begin());
        switchFraming(next);
        return;
    }
    if (m_retryingGone) {
        // Still the silence that dropped the last link.
        consoleGone();
        return;
    }
    const EosFraming fallback = fallbackFraming(framingChoice());
    m_fallback = true;
    if (m_link && m_link->framing() != fallback && m_state == LinkState::linked) {
        switchFraming(fallback);
        return;
    }
    flushHeld();
    setHealth(EosConsoleHealth::silent);
}

void EosConnectionManager::linkEnded() {
    // A desk that cannot read the framing closes the connection: try the next at once.
    const bool probing = m_state == LinkState::linked && m_framingTimeout && !m_fallback &&
                         framingChoice() == EosFramingChoice::automatic;
    const bool anotherToTry =
        !m_attempts.empty() || (m_link && m_link->framing() != fallbackFraming(framingChoice()));
    if (probing && anotherToTry) {
        framingUnanswered();
        return;
    }
    linkFailed();
}

void EosConnectionManager::answered() {
    m_framingTimeout.reset();
    m_retryingGone = false;
    if (m_link)
        rememberFraming(m_link->framing());
    setHealth(EosConsoleHealth::answering);
    flushHeld();
}

void EosConnectionManager::consoleGone() {
    m_retryingGone = true;
    setHealth(EosConsoleHealth::gone);
    linkFailed();
}

void EosConnectionManager::linkFailed() {
    dropLink();
    m_held.clear();
    m_state = LinkState::retryPending;
    setConnected(std::nullopt);
    setFraming(std::nullopt);
    m_feedback.clear();
    setHealth(m_retryingGone ? EosConsoleHealth::gone : EosConsoleHealth::offline);
    ++m_consecutiveFailures;
    m_reconnectWork =
        m_config.clock->startOnce(this, m_config.reconnect.delayAfter(m_consecutiveFailures),
                                  [this, host = m_host, port = m_port] { connectTo(host, port, true); });
}

void EosConnectionManager::dropLink() {
    m_framingTimeout.reset();
    m_stableTimer.reset();
    m_liveness.stop();
    if (!m_link)
        return;
    m_link.reset();
    if (m_isConnected)
        m_discovery->setHasConnection(false);
}

void EosConnectionManager::handleMessage(const OSCMessage& part) {
    const auto message = m_lists.take(part);
    if (!message)
        return;
    const bool answer = isAnswer(message->addressPattern.rawAddress());
    const bool first = answer && !m_liveness.hasAnswered();
    m_liveness.heard(answer);
    if (first)
        answered();
    m_feedback.take(*message);
    emit messageReceived(*message);
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

void EosConnectionManager::setFraming(std::optional<EosFraming> framing) {
    if (framing == m_framing)
        return;
    m_framing = framing;
    emit framingChanged();
}

void EosConnectionManager::setHealth(EosConsoleHealth health) {
    if (health == m_health)
        return;
    m_health = health;
    emit healthChanged();
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
    if (encoded.ok())
        m_link->write(encoded.value());
}

void EosConnectionManager::flushHeld() {
    m_settled = true;
    for (const OSCMessage& message : std::exchange(m_held, {}))
        writeNow(message);
}

void EosConnectionManager::sendMessage(const OSCMessage& message) {
    // Nothing is queued for a link to come: only a link that is up holds a message back.
    if (!m_isConnected)
        return;
    if (m_settled) {
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
    // The number goes into an OSC address as typed; the popover checks it too.
    if (!isValidGroupNumber(groupNumber))
        return;
    const QString channels = channelListText(selectionGroups, elements);
    if (channels.isEmpty())
        return;
    for (const EosCommand& command :
         {recordGroupCommandLine(groupNumber), groupChannelsCommand(groupNumber, channels)})
        send(command.address, command.argument);
}

} // namespace pexlora
