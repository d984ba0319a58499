// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/ConsoleTrafficWindow.h"

#include "app/console/ConsoleTrafficModel.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosTrafficLog.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace pexlora {

ConsoleTrafficWindow::ConsoleTrafficWindow(EosConnectionManager& manager, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_manager(&manager)
    , m_log(std::make_unique<EosTrafficLog>())
    , m_model(new ConsoleTrafficModel(m_log->capacity(), this))
    , m_table(new QTableView(this))
    , m_pause(new QPushButton(tr("Pause"), this))
    , m_clear(new QPushButton(tr("Clear"), this))
    , m_copy(new QPushButton(tr("Copy"), this))
    , m_hidePings(new QCheckBox(tr("Hide pings"), this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    // The program ends with its last document window; this one does not keep it running.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(tr("Console Traffic"));
    manager.setTrafficLog(m_log.get());

    m_pause->setObjectName(QStringLiteral("trafficPause"));
    m_pause->setCheckable(true);
    m_clear->setObjectName(QStringLiteral("trafficClear"));
    m_copy->setObjectName(QStringLiteral("trafficCopy"));
    m_hidePings->setObjectName(QStringLiteral("trafficHidePings"));

    m_table->setModel(m_model);
    m_table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->setShowGrid(false);
    m_table->setTextElideMode(Qt::ElideRight);
    // Fixed sizes: nothing measures thousands of rows when a batch arrives.
    QHeaderView* rows = m_table->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    QHeaderView* columns = m_table->horizontalHeader();
    columns->setStretchLastSection(true);
    const QFontMetrics metrics = m_table->fontMetrics();
    columns->resizeSection(ConsoleTrafficModel::timeColumn,
                           metrics.horizontalAdvance(QStringLiteral("00:00:00.000")) + 16);
    columns->resizeSection(ConsoleTrafficModel::directionColumn, metrics.horizontalAdvance(u'\u2190') + 20);
    columns->resizeSection(ConsoleTrafficModel::addressColumn, metrics.horizontalAdvance(u'x') * 32);

    auto* copyAction = new QAction(tr("Copy"), this);
    copyAction->setObjectName(QStringLiteral("trafficCopyAction"));
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WindowShortcut);
    addAction(copyAction);
    connect(copyAction, &QAction::triggered, this, &ConsoleTrafficWindow::copy);
    connect(m_copy, &QPushButton::clicked, this, &ConsoleTrafficWindow::copy);
    connect(m_clear, &QPushButton::clicked, this, &ConsoleTrafficWindow::clear);
    connect(m_pause, &QPushButton::toggled, this,
            [this](bool paused) { enter(paused ? State::paused : State::following); });
    connect(m_hidePings, &QCheckBox::toggled, this, &ConsoleTrafficWindow::rebuild);

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_pause);
    bar->addWidget(m_clear);
    bar->addWidget(m_copy);
    bar->addStretch();
    bar->addWidget(m_hidePings);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_table);
    resize(760, 480);

    connect(&m_timer, &QTimer::timeout, this, &ConsoleTrafficWindow::refresh);
    m_timer.start(refreshPeriod);
}

ConsoleTrafficWindow::~ConsoleTrafficWindow() {
    enter(State::closed);
}

void ConsoleTrafficWindow::enter(State next) {
    if (m_state == State::closed || m_state == next)
        return;
    m_state = next;
    switch (next) {
    case State::following:
        refresh();
        break;
    case State::paused:
        break;
    case State::closed:
        m_timer.stop();
        if (m_manager && m_manager->trafficLog() == m_log.get())
            m_manager->setTrafficLog(nullptr);
        m_log.reset();
        break;
    }
}

void ConsoleTrafficWindow::closeEvent(QCloseEvent* event) {
    enter(State::closed);
    m_model->clear();
    event->accept();
}

std::vector<EosTrafficEntry> ConsoleTrafficWindow::entries(std::size_t first, std::size_t end) const {
    std::vector<EosTrafficEntry> taken;
    taken.reserve(end - first);
    const bool hidePings = m_hidePings->isChecked();
    for (std::size_t i = first; i < end; ++i)
        if (const EosTrafficEntry& entry = m_log->at(i); !(hidePings && entry.ping))
            taken.push_back(entry);
    return taken;
}

void ConsoleTrafficWindow::refresh() {
    if (m_state != State::following)
        return;
    // More may have come than the log keeps; those that went before being seen are gone.
    const std::size_t fresh =
        static_cast<std::size_t>(std::min<std::uint64_t>(m_log->recorded() - m_taken, m_log->size()));
    m_taken = m_log->recorded();
    if (fresh == 0)
        return;
    // The newest rows are followed only by a user who has not scrolled up to read older ones.
    const QScrollBar* scroll = m_table->verticalScrollBar();
    const bool atNewest = scroll->value() >= scroll->maximum();
    m_model->append(entries(m_log->size() - fresh, m_log->size()));
    if (atNewest)
        m_table->scrollToBottom();
}

void ConsoleTrafficWindow::rebuild() {
    if (!m_log)
        return;
    // While paused, what came since the pause stays unseen, filter or not.
    const std::size_t unseen =
        static_cast<std::size_t>(std::min<std::uint64_t>(m_log->recorded() - m_taken, m_log->size()));
    m_model->clear();
    m_model->append(entries(0, m_log->size() - unseen));
    m_table->scrollToBottom();
}

void ConsoleTrafficWindow::clear() {
    if (!m_log)
        return;
    m_log->clear();
    m_taken = m_log->recorded();
    m_model->clear();
}

void ConsoleTrafficWindow::copy() {
    QList<int> rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows())
        rows.append(index.row());
    if (rows.isEmpty())
        for (int row = 0; row < m_model->rowCount(); ++row)
            rows.append(row);
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    for (const int row : rows)
        lines.append(m_model->rowText(row));
    QGuiApplication::clipboard()->setText(lines.join(u'\n') +
                                          (lines.isEmpty() ? QString() : QStringLiteral("\n")));
}

} // namespace pexlora
