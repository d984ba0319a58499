#include "app/EosConsolePopover.h"

#include "app/DiscoveredHostRow.h"
#include "app/Divider.h"
#include "app/SecondaryLabel.h"
#include "app/TextStyles.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosDiscoveryManager.h"
#include "eos/EosSettings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
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
    , m_discovered(new QWidget(this))
    , m_rowArea(new QScrollArea(m_discovered))
    , m_rowList(new QWidget(m_rowArea))
    , m_rowStack(new QVBoxLayout(m_rowList)) {
    setMinimumWidth(minimumWidth);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(14, 14, 14, 14);
    stack->setSpacing(12);

    auto* title = new QLabel(tr("Eos Console"), this);
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
    addressRow->addWidget(new QLabel(QStringLiteral(":"), this), 0, Qt::AlignVCenter);
    addressRow->addWidget(m_port, 0, Qt::AlignVCenter);
    addressRow->addWidget(m_connect, 0, Qt::AlignVCenter);
    addressRow->addStretch();
    stack->addLayout(addressRow);
    setFocusProxy(m_address);

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
    }
    // Stored exactly as typed: connecting reads them through the same rules as start-up.
    connect(m_address, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_eosManager)
            m_eosManager->settings().setValue(eosIPKey, text);
    });
    connect(m_port, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_eosManager)
            m_eosManager->settings().setValue(eosPortKey, text);
    });
    connect(m_address, &QLineEdit::returnPressed, this, &EosConsolePopover::connectToStored);
    connect(m_port, &QLineEdit::returnPressed, this, &EosConsolePopover::connectToStored);
    connect(m_connect, &QPushButton::clicked, this, &EosConsolePopover::connectToStored);
    showHosts();
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
    m_discovered->setVisible(!m_rows.isEmpty());
    // Anyone on the network can answer discovery: past a few rows the list scrolls.
    m_rowArea->setFixedHeight(std::min(m_rowStack->sizeHint().height(), maximumListHeight));
    adjustSize();
    emit contentResized();
}

} // namespace pexlora
