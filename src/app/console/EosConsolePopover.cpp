// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/EosConsolePopover.h"

#include "app/console/DiscoveredHostRow.h"
#include "app/console/EosLinkWords.h"
#include "app/console/EosRetryCountdown.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosDiscoveryManager.h"
#include "eos/EosFraming.h"
#include "eos/EosSettings.h"
#include "widgets/Divider.h"
#include "widgets/PlainLabel.h"
#include "widgets/PlainMessage.h"
#include "widgets/SecondaryLabel.h"
#include "widgets/TextStyles.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace pexlora {

EosConsolePopover::EosConsolePopover(EosConnectionManager* eosManager, QWidget* parent)
    : QWidget(parent)
    , m_eosManager(eosManager)
    , m_address(new QLineEdit(this))
    , m_port(new QLineEdit(this))
    , m_connect(new QPushButton(tr("Connect"), this))
    , m_disconnect(new QPushButton(tr("Disconnect"), this))
    , m_framing(new QComboBox(this))
    , m_state(new SecondaryLabel(QString(), this))
    , m_countdown(new SecondaryLabel(QString(), this))
    , m_version(new SecondaryLabel(QString(), this))
    , m_ticks(new EosRetryCountdown(
          eosManager, [this] { showCountdown(); }, this))
    , m_discovered(new QWidget(this))
    , m_rowArea(new QScrollArea(m_discovered))
    , m_rowList(new QWidget(m_rowArea))
    , m_rowStack(new QVBoxLayout(m_rowList)) {
    setMinimumWidth(minimumWidth);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(14, 14, 14, 14);
    stack->setSpacing(12);

    auto* title = new PlainLabel(tr("Eos Console"), this);
    title->setFont(headlineFont(font()));
    stack->addWidget(title);

    auto* addressRow = new QHBoxLayout;
    addressRow->setSpacing(4);
    m_address->setPlaceholderText(eosDefaultHost);
    m_address->setAccessibleName(tr("Console address"));
    m_address->setMinimumWidth(110);
    m_address->setMaximumWidth(160);
    m_port->setPlaceholderText(QString::number(eosDefaultPort));
    m_port->setAccessibleName(tr("Console port"));
    m_port->setFixedWidth(52);
    addressRow->addWidget(m_address, 1, Qt::AlignVCenter);
    addressRow->addWidget(new PlainLabel(QStringLiteral(":"), this), 0, Qt::AlignVCenter);
    addressRow->addWidget(m_port, 0, Qt::AlignVCenter);
    // A desk has two OSC ports, and which one says how it frames its packets.
    auto* ports = new QToolButton(this);
    ports->setObjectName(QStringLiteral("consolePorts"));
    ports->setAccessibleName(tr("The desk's OSC ports"));
    ports->setToolTip(plainToolTip(tr("The desk's OSC ports")));
    ports->setArrowType(Qt::DownArrow);
    ports->setPopupMode(QToolButton::InstantPopup);
    ports->setAutoRaise(true);
    auto* portMenu = new QMenu(ports);
    const struct {
        int port;
        QString meaning;
    } deskPorts[] = {
        {3032, tr("3032 — OSC, framed as set on the desk (OSC 1.0 unless changed)")},
        {3037, tr("3037 — third-party OSC, always SLIP (Eos 3.1 and later)")},
    };
    for (const auto& deskPort : deskPorts) {
        QAction* choice = portMenu->addAction(deskPort.meaning);
        connect(choice, &QAction::triggered, this, [this, port = QString::number(deskPort.port)] {
            // As if typed: stored, and shown with what it means for the console.
            m_port->setText(port);
            emit m_port->textEdited(port);
        });
    }
    ports->setMenu(portMenu);
    addressRow->addWidget(ports, 0, Qt::AlignVCenter);
    // As wide as its wider caption, so that the row does not shift when it changes.
    int connectWidth = 0;
    for (const QString& caption : {tr("Retry Now"), tr("Connect")}) {
        m_connect->setText(caption);
        connectWidth = std::max(connectWidth, m_connect->sizeHint().width());
    }
    m_connect->setMinimumWidth(connectWidth);
    addressRow->addWidget(m_connect, 0, Qt::AlignVCenter);
    addressRow->addStretch();
    stack->addLayout(addressRow);
    setFocusProxy(m_address);

    // In the order of EosFramingChoice, so an item's index is its choice.
    auto* framingRow = new QHBoxLayout;
    framingRow->setSpacing(8);
    auto* framingLabel = new PlainLabel(tr("Framing"), this);
    m_framing->addItems({tr("Automatic"), tr("OSC 1.1 (SLIP)"), tr("OSC 1.0 (length)")});
    m_framing->setAccessibleName(tr("Framing"));
    framingLabel->setBuddy(m_framing);
    framingRow->addWidget(framingLabel, 0, Qt::AlignVCenter);
    framingRow->addWidget(m_framing, 0, Qt::AlignVCenter);
    framingRow->addStretch();
    // Its room is kept while it is hidden: the chooser beside it stays where it is.
    QSizePolicy keepsRoom = m_disconnect->sizePolicy();
    keepsRoom.setRetainSizeWhenHidden(true);
    m_disconnect->setSizePolicy(keepsRoom);
    framingRow->addWidget(m_disconnect, 0, Qt::AlignVCenter);
    stack->addLayout(framingRow);

    // The popover rises above the status bar, so whatever it grows by lifts the fields
    // from under the pointer: these lines have room for three kept whether shown or not.
    auto* lines = new QWidget(this);
    auto* lineStack = new QVBoxLayout(lines);
    lineStack->setContentsMargins(0, 0, 0, 0);
    lineStack->setSpacing(2);
    for (QLabel* line : {m_state, m_countdown, m_version}) {
        line->setFont(captionFont(font()));
        line->setWordWrap(true);
        lineStack->addWidget(line);
    }
    lineStack->addStretch();
    // A line's height as these labels lay it out, which is more than the font's spacing.
    m_state->setText(QStringLiteral("Xg"));
    lines->setMinimumHeight(3 * m_state->sizeHint().height() + 2 * lineStack->spacing());
    stack->addWidget(lines);
    m_version->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* section = new QVBoxLayout(m_discovered);
    section->setContentsMargins(0, 0, 0, 0);
    section->setSpacing(12);
    section->addWidget(new Divider(m_discovered));
    auto* caption = new SecondaryLabel(tr("Discovered"), m_discovered);
    caption->setFont(captionFont(font()));
    section->addWidget(caption);
    m_rowStack->setContentsMargins(0, 0, 0, 0);
    m_rowStack->setSpacing(4);
    m_rowArea->setWidget(m_rowList);
    m_rowArea->setWidgetResizable(true);
    m_rowArea->setFrameShape(QFrame::NoFrame);
    m_rowArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_rowArea->viewport()->setAutoFillBackground(false);
    m_rowList->setAutoFillBackground(false);
    section->addWidget(m_rowArea);
    stack->addWidget(m_discovered);

    if (m_eosManager) {
        const QSettings& settings = m_eosManager->settings();
        m_address->setText(settings.value(eosIPKey).toString());
        m_port->setText(settings.value(eosPortKey).toString());
        connect(&m_eosManager->discovery(), &EosDiscoveryManager::discoveredHostsChanged, this,
                &EosConsolePopover::showHosts);
        m_framing->setCurrentIndex(static_cast<int>(m_eosManager->framingChoice()));
        for (const auto changed :
             {&EosConnectionManager::healthChanged, &EosConnectionManager::consoleVersionChanged,
              &EosConnectionManager::lastFailureChanged, &EosConnectionManager::retryAtChanged,
              &EosConnectionManager::connectionTargetChanged})
            connect(m_eosManager, changed, this, &EosConsolePopover::showConsole);
        connect(m_eosManager, &EosConnectionManager::connectionTargetChanged, this,
                &EosConsolePopover::markConsoleInUse);
    }
    // Only the user's pick: the manager stores it and reconnects in the new framing.
    connect(m_framing, &QComboBox::activated, this, [this](int index) {
        const auto choice = static_cast<EosFramingChoice>(index);
        if (m_eosManager && index >= 0 && choice != m_eosManager->framingChoice())
            m_eosManager->setFramingChoice(choice);
    });
    // Stored exactly as typed: connecting reads them through the same rules as start-up.
    connect(m_address, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_eosManager)
            m_eosManager->settings().setValue(eosIPKey, text);
        showConsole();
    });
    connect(m_port, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_eosManager)
            m_eosManager->settings().setValue(eosPortKey, text);
        showConsole();
    });
    connect(m_address, &QLineEdit::returnPressed, this, &EosConsolePopover::connectToStored);
    connect(m_port, &QLineEdit::returnPressed, this, &EosConsolePopover::connectToStored);
    connect(m_connect, &QPushButton::clicked, this, &EosConsolePopover::connectToStored);
    connect(m_disconnect, &QPushButton::clicked, this, [this] {
        if (m_eosManager)
            m_eosManager->disconnectFromConsole();
    });
    showConsole();
    showHosts();
}

void EosConsolePopover::showConsole() {
    const QString state = m_eosManager ? EosLinkWords::stateText(*m_eosManager) : QString();
    const QString version = m_eosManager ? m_eosManager->consoleVersion() : QString();
    const auto target = m_eosManager ? m_eosManager->connectionTarget() : std::nullopt;
    m_state->setText(state);
    m_state->setVisible(!state.isEmpty());
    showCountdown();
    m_version->setText(version.isEmpty() ? QString() : tr("Console version %1").arg(version));
    m_version->setVisible(!version.isEmpty());
    m_disconnect->setVisible(target.has_value());
    // "Retry Now" only while the fields still name the console being retried; typed
    // elsewhere, the button connects there.
    bool retriesHere = false;
    if (m_eosManager && target && m_eosManager->lastFailure()) {
        EosConsoleAddress stored = storedConsoleAddress(m_eosManager->settings());
        stored.host = stored.host.trimmed();
        retriesHere = stored == *target;
    }
    m_connect->setText(retriesHere ? tr("Retry Now") : tr("Connect"));
    adjustSize();
    emit contentResized();
}

// The countdown ticks only while it can be seen.
void EosConsolePopover::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_ticks->setRunning(true);
    showCountdown();
}

void EosConsolePopover::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_ticks->setRunning(false);
}

void EosConsolePopover::showCountdown() {
    const QString countdown = m_eosManager ? EosLinkWords::countdownText(*m_eosManager) : QString();
    m_countdown->setText(countdown);
    m_countdown->setVisible(!countdown.isEmpty());
}

void EosConsolePopover::markConsoleInUse() {
    const auto target = m_eosManager ? m_eosManager->connectionTarget() : std::nullopt;
    for (DiscoveredHostRow* row : m_rows)
        row->setInUse(target && target->host == row->host().ip && target->port == row->host().oscTCPPort);
}

void EosConsolePopover::connectToStored() {
    if (!m_eosManager)
        return;
    const EosConsoleAddress target = storedConsoleAddress(m_eosManager->settings());
    m_eosManager->connectToConsole(target.host, target.port);
}

void EosConsolePopover::choose(const EosDiscoveredHost& host) {
    if (!m_eosManager)
        return;
    const QString port = QString::number(host.oscTCPPort);
    m_eosManager->settings().setValue(eosIPKey, host.ip);
    m_eosManager->settings().setValue(eosPortKey, port);
    m_address->setText(host.ip);
    m_port->setText(port);
    connectToStored();
}

void EosConsolePopover::showHosts() {
    const EosDiscoveredHosts hosts =
        m_eosManager ? m_eosManager->discovery().discoveredHosts() : EosDiscoveredHosts();
    // Rows are kept by the host's id, so the one under the pointer or the keyboard stays.
    QList<DiscoveredHostRow*> rows;
    for (const EosDiscoveredHost& host : hosts) {
        const auto kept = std::find_if(m_rows.begin(), m_rows.end(),
                                       [&](DiscoveredHostRow* row) { return row->host().id == host.id; });
        DiscoveredHostRow* row = nullptr;
        if (kept != m_rows.end()) {
            row = *kept;
            m_rows.erase(kept);
            row->setHost(host);
        } else {
            row = new DiscoveredHostRow(host, m_rowList);
            connect(row, &DiscoveredHostRow::clicked, this, [this, row] { choose(row->host()); });
        }
        rows.append(row);
    }
    for (DiscoveredHostRow* gone : std::exchange(m_rows, rows)) {
        m_rowStack->removeWidget(gone);
        gone->hide();
        gone->deleteLater();
    }
    for (DiscoveredHostRow* row : m_rows) {
        m_rowStack->removeWidget(row);
        m_rowStack->addWidget(row);
    }
    markConsoleInUse();
    m_discovered->setVisible(!m_rows.isEmpty());
    // Anyone on the network can answer discovery: past a few rows the list scrolls.
    m_rowArea->setFixedHeight(std::min(m_rowStack->sizeHint().height(), maximumListHeight));
    adjustSize();
    emit contentResized();
}

} // namespace pexlora
