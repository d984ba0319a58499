// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/ConsoleGroupsPanel.h"

#include "canvas/GridCanvasView.h"
#include "eos/EosGroupDirectory.h"
#include "model/GridViewModel.h"
#include "widgets/SecondaryLabel.h"

#include <QEvent>
#include <QHeaderView>
#include <QMultiHash>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pexlora {

namespace {

constexpr int numberRole = Qt::UserRole;
constexpr qsizetype maxShownLabel = 200;

} // namespace

ConsoleGroupsPanel::ConsoleGroupsPanel(EosGroupDirectory* groups, GridViewModel* model, GridCanvasView* canvas,
                                       QWidget* parent)
    : QWidget(parent)
    , m_groups(groups)
    , m_model(model)
    , m_canvas(canvas)
    , m_status(new SecondaryLabel(QString(), this))
    , m_list(new QTreeWidget(this)) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(8, 8, 8, 8);
    stack->setSpacing(6);
    m_status->setWordWrap(true);
    stack->addWidget(m_status);
    stack->addWidget(m_list, 1);

    m_list->setColumnCount(3);
    m_list->setHeaderLabels({tr("Group"), tr("Label"), tr("Channels")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setMouseTracking(true);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_list->setAccessibleName(tr("Console Groups"));

    connect(m_list, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { choose(item->data(0, numberRole).toString()); });
    connect(m_list, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { choose(item->data(0, numberRole).toString()); });
    connect(m_list, &QTreeWidget::itemEntered, this, &ConsoleGroupsPanel::outline);
    // Off the rows, or out of the list, nothing is outlined.
    m_list->viewport()->installEventFilter(this);
    connect(m_list, &QTreeWidget::viewportEntered, this, [this] { outline(nullptr); });
    if (m_groups) {
        connect(m_groups, &EosGroupDirectory::changed, this, &ConsoleGroupsPanel::showGroups);
        connect(m_groups, &EosGroupDirectory::statusChanged, this, &ConsoleGroupsPanel::showStatus);
    }
    showGroups();
}

void ConsoleGroupsPanel::showGroups() {
    const QString current = m_list->currentItem() ? m_list->currentItem()->data(0, numberRole).toString() : QString();
    m_list->clear();
    if (m_groups) {
        QList<QTreeWidgetItem*> items;
        items.reserve(static_cast<qsizetype>(m_groups->groups().size()));
        for (const EosGroup& group : m_groups->groups()) {
            // Text items show what the desk sent as text, never as markup.
            auto* item = new QTreeWidgetItem({group.number, group.label.left(maxShownLabel),
                                              QLocale().toString(static_cast<qlonglong>(group.channels.size()))});
            item->setData(0, numberRole, group.number);
            item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
            items.append(item);
        }
        m_list->addTopLevelItems(items);
        for (QTreeWidgetItem* item : items)
            if (item->data(0, numberRole).toString() == current)
                m_list->setCurrentItem(item);
    }
    m_list->resizeColumnToContents(0);
    m_list->resizeColumnToContents(2);
    showStatus();
}

void ConsoleGroupsPanel::showStatus() {
    QString text;
    if (!m_groups)
        text = tr("No console connected");
    else {
        switch (m_groups->status()) {
        case EosGroupDirectory::Status::off:
            text = tr("No console connected");
            break;
        case EosGroupDirectory::Status::reading:
            text = tr("Reading the desk's groups…");
            break;
        case EosGroupDirectory::Status::unreadable:
            text = tr("The desk's groups could not be read");
            break;
        case EosGroupDirectory::Status::ready:
            text = m_groups->groups().size() == 1 ? tr("1 group")
                                                  : tr("%L1 groups").arg(m_groups->groups().size());
            break;
        }
    }
    if (!m_missing.isEmpty())
        text += u'\n' + m_missing;
    m_status->setText(text);
}

std::pair<std::vector<QUuid>, int> ConsoleGroupsPanel::cellsOf(const QString& number) const {
    const EosGroup* group = m_groups ? m_groups->find(number) : nullptr;
    if (!group || !m_model)
        return {{}, 0};
    // Channels are whole numbers; a cell numbered "12" or "12.0" is channel 12.
    QMultiHash<int, QUuid> byChannel;
    for (const GridElement& element : m_model->elements()) {
        bool ok = false;
        const double value = element.numberString.toDouble(&ok);
        if (ok && value == static_cast<int>(value))
            byChannel.insert(static_cast<int>(value), element.id);
    }
    std::vector<QUuid> cells;
    int missing = 0;
    for (int channel : group->channels) {
        const auto found = byChannel.values(channel);
        if (found.isEmpty())
            ++missing;
        // Cells of one number come in the order of the layout.
        for (auto it = found.rbegin(); it != found.rend(); ++it)
            cells.push_back(*it);
    }
    return {cells, missing};
}

void ConsoleGroupsPanel::choose(const QString& number) {
    if (!m_model)
        return;
    const auto [cells, missing] = cellsOf(number);
    m_missing = missing == 0 ? QString()
                : missing == 1
                    ? tr("1 channel of group %1 is not on this layout").arg(number)
                    : tr("%L1 channels of group %2 are not on this layout").arg(missing).arg(number);
    showStatus();
    if (m_model->mode() != AppMode::select)
        m_model->setMode(AppMode::select);
    m_model->setSelectionModifier(MarqueeModifier::none);
    m_model->setSelectionGroups(cells.empty() ? SelectionGroups{} : SelectionGroups{cells});
}

bool ConsoleGroupsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list->viewport() && event->type() == QEvent::Leave)
        outline(nullptr);
    return QWidget::eventFilter(watched, event);
}

void ConsoleGroupsPanel::outline(QTreeWidgetItem* item) {
    if (!m_canvas)
        return;
    if (!item) {
        m_canvas->setOutlinedCells({});
        return;
    }
    const auto cells = cellsOf(item->data(0, numberRole).toString()).first;
    m_canvas->setOutlinedCells(QSet<QUuid>(cells.begin(), cells.end()));
}

} // namespace pexlora
