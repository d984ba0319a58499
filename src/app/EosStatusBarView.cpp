#include "app/EosStatusBarView.h"

#include "app/Divider.h"
#include "app/EosConsolePopover.h"
#include "app/EosStatusButton.h"
#include "app/SecondaryLabel.h"
#include "app/TextStyles.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosDiscoveryManager.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <memory>

namespace pexlora {

EosStatusBarView::EosStatusBarView(EosConnectionManager* eosManager, QWidget* parent)
    : QWidget(parent)
    , m_eosManager(eosManager)
    , m_button(new EosStatusButton(this))
    , m_caption(new SecondaryLabel(tr("OSC over TCP"), this))
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
    row->addStretch();
    m_caption->setFont(sizedFont(font(), 11, QFont::Normal));
    m_caption->setContentsMargins(10, 0, 10, 0);
    row->addWidget(m_caption, 0, Qt::AlignVCenter);
    auto* rowHolder = new QWidget(this);
    rowHolder->setFixedHeight(rowHeight);
    rowHolder->setLayout(row);
    stack->addWidget(rowHolder);

    m_button->setAccessibleDescription(tr("Shows the console settings"));
    connect(m_button, &EosStatusButton::clicked, this, &EosStatusBarView::togglePopover);
    connect(&m_popover, &PopoverHost::closed, this, [this] {
        if (m_eosManager)
            m_eosManager->discovery().settingsClosed();
    });
    if (m_eosManager) {
        connect(m_eosManager, &EosConnectionManager::isConnectedChanged, this, &EosStatusBarView::showLink);
        connect(m_eosManager, &EosConnectionManager::connectedIPChanged, this, &EosStatusBarView::showLink);
    }
    showLink();
}

EosStatusBarView::~EosStatusBarView() {
    // Closing a window with the popover open ends the browsing it started.
    if (m_popover.isOpen() && m_eosManager)
        m_eosManager->discovery().settingsClosed();
}

QString EosStatusBarView::statusText(bool isConnected, const std::optional<QString>& connectedIP) {
    if (isConnected && connectedIP)
        return tr("Eos Connected %1").arg(*connectedIP);
    return tr("Eos Disconnected");
}

EosConsolePopover* EosStatusBarView::consolePanel() const {
    return m_popover.panel<EosConsolePopover>();
}

void EosStatusBarView::showLink() {
    const bool connected = m_eosManager && m_eosManager->isConnected();
    const QString text =
        statusText(connected, m_eosManager ? m_eosManager->connectedIP() : std::optional<QString>());
    m_button->setConnected(connected);
    m_button->setText(text);
    m_button->setAccessibleName(text);
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
