// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/EosStatusBarView.h"

#include "app/console/EosConsolePopover.h"
#include "app/console/EosLinkWords.h"
#include "app/console/EosRetryCountdown.h"
#include "app/console/EosStatusButton.h"
#include "app/console/LiveLevelsSource.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosDiscoveryManager.h"
#include "widgets/Divider.h"
#include "widgets/ElidedLabel.h"
#include "widgets/PlainMessage.h"
#include "widgets/SecondaryLabel.h"
#include "widgets/TextStyles.h"

#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>
#include <QVBoxLayout>
#include <memory>

namespace pexlora {

EosStatusBarView::EosStatusBarView(EosConnectionManager* eosManager, LiveLevelsSource* levels, QWidget* parent)
    : QWidget(parent)
    , m_eosManager(eosManager)
    , m_button(new EosStatusButton(this))
    , m_commandLine(new ElidedLabel(this))
    , m_caption(new SecondaryLabel(framingCaption(std::nullopt, EosConsoleHealth::offline), this))
    , m_levels(levels)
    , m_levelsCaption(new SecondaryLabel(QString(), this))
    , m_toolTipTicks(new EosRetryCountdown(
          eosManager, [this] { showToolTip(); }, this))
    , m_popover(this) {
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(new Divider(this));

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_button, 0, Qt::AlignVCenter);
    // The desk's answer to what was sent, in the flexible space; it gives way first.
    m_commandLine->setFont(monospacedFont(11));
    m_commandLine->setContentsMargins(10, 0, 0, 0);
    m_commandLine->setObjectName(QStringLiteral("consoleCommandLine"));
    row->addWidget(m_commandLine, 1);
    m_levelsCaption->setFont(sizedFont(font(), 11, QFont::Normal));
    m_levelsCaption->setContentsMargins(10, 0, 0, 0);
    m_levelsCaption->setObjectName(QStringLiteral("liveLevelsCaption"));
    row->addWidget(m_levelsCaption, 0, Qt::AlignVCenter);
    m_caption->setFont(sizedFont(font(), 11, QFont::Normal));
    m_caption->setContentsMargins(10, 0, 10, 0);
    row->addWidget(m_caption, 0, Qt::AlignVCenter);
    auto* rowHolder = new QWidget(this);
    rowHolder->setFixedHeight(rowHeight);
    rowHolder->setLayout(row);
    stack->addWidget(rowHolder);

    m_button->setAccessibleDescription(tr("Shows the console settings"));
    connect(m_button, &EosStatusButton::clicked, this, &EosStatusBarView::togglePopover);
    m_button->installEventFilter(this);
    connect(&m_popover, &PopoverHost::closed, this, [this] {
        if (m_eosManager)
            m_eosManager->discovery().settingsClosed();
    });
    if (m_eosManager) {
        connect(m_eosManager, &EosConnectionManager::isConnectedChanged, this, &EosStatusBarView::showLink);
        connect(m_eosManager, &EosConnectionManager::connectedIPChanged, this, &EosStatusBarView::showLink);
        connect(m_eosManager, &EosConnectionManager::healthChanged, this, &EosStatusBarView::showLink);
        connect(m_eosManager, &EosConnectionManager::framingChanged, this, &EosStatusBarView::showLink);
        connect(m_eosManager, &EosConnectionManager::lastFailureChanged, this, &EosStatusBarView::showLink);
        connect(m_eosManager, &EosConnectionManager::retryAtChanged, this, &EosStatusBarView::showLink);
        connect(m_eosManager, &EosConnectionManager::consoleCommandLineChanged, this,
                &EosStatusBarView::showCommandLine);
    }
    if (m_levels)
        connect(m_levels, &LiveLevelsSource::summaryChanged, this, &EosStatusBarView::showLevels);
    showLink();
    showCommandLine();
    showLevels();
}

void EosStatusBarView::showLevels() {
    const QString text = m_levels ? (m_levels->problem().isEmpty() ? m_levels->summaryText() : m_levels->problem())
                                  : QString();
    m_levelsCaption->setText(text);
    m_levelsCaption->setVisible(!text.isEmpty());
}

EosStatusBarView::~EosStatusBarView() {
    // Closing a window with the popover open ends the browsing it started.
    if (m_popover.isOpen() && m_eosManager)
        m_eosManager->discovery().settingsClosed();
}

QString EosStatusBarView::statusText(bool isConnected, const std::optional<QString>& connectedIP,
                                     EosConsoleHealth health) {
    // A console that fell silent is retried on fresh links; each comes up before it
    // can show the console answers, and the bar must not call that connected.
    if (health == EosConsoleHealth::gone)
        return tr("Eos not answering");
    if (isConnected && connectedIP)
        return tr("Eos Connected %1").arg(*connectedIP);
    return tr("Eos Disconnected");
}

QString EosStatusBarView::framingCaption(std::optional<EosFraming> framing, EosConsoleHealth health) {
    const bool settled = health == EosConsoleHealth::answering || health == EosConsoleHealth::silent;
    if (!framing || !settled)
        return tr("OSC over TCP");
    switch (*framing) {
    case EosFraming::slip:
        return tr("OSC 1.1 SLIP");
    case EosFraming::length:
        return tr("OSC 1.0");
    }
    return tr("OSC over TCP");
}

EosConsolePopover* EosStatusBarView::consolePanel() const {
    return m_popover.panel<EosConsolePopover>();
}

void EosStatusBarView::showLink() {
    const bool connected = m_eosManager && m_eosManager->isConnected();
    const EosConsoleHealth health = m_eosManager ? m_eosManager->health() : EosConsoleHealth::offline;
    const QString text =
        statusText(connected, m_eosManager ? m_eosManager->connectedIP() : std::nullopt, health);
    // The dot agrees with the text: not green for a console that does not answer.
    m_button->setConnected(connected && health != EosConsoleHealth::gone);
    m_button->setText(text);
    m_button->setAccessibleName(text);
    m_caption->setText(
        framingCaption(connected && m_eosManager ? m_eosManager->framing() : std::nullopt, health));
    showToolTip();
}

void EosStatusBarView::showToolTip() {
    const QString text = m_eosManager ? EosLinkWords::toolTipText(*m_eosManager) : QString();
    m_button->setToolTip(text.isEmpty() ? QString() : plainToolTip(text));
    if (!m_toolTipTicks->isRunning())
        return;
    // A tooltip keeps the text it was shown with: one that is up is shown again.
    if (!QToolTip::isVisible() || text.isEmpty()) {
        m_toolTipTicks->setRunning(false);
        return;
    }
    QToolTip::showText(m_toolTipAt, m_button->toolTip(), m_button);
}

bool EosStatusBarView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_button && event->type() == QEvent::ToolTip) {
        m_toolTipAt = static_cast<QHelpEvent*>(event)->globalPos();
        m_toolTipTicks->setRunning(false);
        showToolTip();
        // The button shows it as the event goes on; the countdown then keeps it current.
        m_toolTipTicks->setRunning(!m_button->toolTip().isEmpty());
    }
    return QWidget::eventFilter(watched, event);
}

void EosStatusBarView::showCommandLine() {
    m_commandLine->setText(m_eosManager ? m_eosManager->consoleCommandLine() : QString());
}

void EosStatusBarView::togglePopover() {
    if (m_popover.isOpen()) {
        m_popover.close();
        return;
    }
    if (!m_eosManager)
        return;
    auto panel = std::make_unique<EosConsolePopover>(m_eosManager.data());
    EosConsolePopover* shown = panel.get();
    m_eosManager->discovery().settingsOpened();
    // The bar is the window's bottom edge, so the popover rises above it where it fits.
    Popover* popover = m_popover.open(std::move(panel), m_button, Popover::Edge::above);
    connect(shown, &EosConsolePopover::contentResized, popover, &Popover::reposition);
}

} // namespace pexlora
