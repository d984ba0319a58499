// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/ConsoleTrafficModel.h"

#include <QDateTime>
#include <QStringList>

namespace pexlora {

ConsoleTrafficModel::ConsoleTrafficModel(std::size_t capacity, QObject* parent)
    : QAbstractTableModel(parent)
    , m_capacity(capacity) {}

int ConsoleTrafficModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ConsoleTrafficModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columnCount_;
}

QString ConsoleTrafficModel::cellText(int row, int column) const {
    const EosTrafficEntry& e = entry(row);
    switch (column) {
    case timeColumn:
        return QDateTime::fromMSecsSinceEpoch(e.wallTimeMs).toString(QStringLiteral("HH:mm:ss.zzz"));
    case directionColumn:
        // Arrows point the way the message went, with the console on the left.
        return e.direction == EosTrafficDirection::in ? QStringLiteral("\u2190") : QStringLiteral("\u2192");
    case addressColumn:
        return e.address;
    case argumentsColumn:
        return e.arguments;
    default:
        return {};
    }
}

QVariant ConsoleTrafficModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() == directionColumn)
        return QVariant::fromValue(Qt::AlignCenter);
    return {};
}

QVariant ConsoleTrafficModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case timeColumn:
        return tr("Time");
    case directionColumn:
        return QString();
    case addressColumn:
        return tr("Address");
    case argumentsColumn:
        return tr("Arguments");
    default:
        return {};
    }
}

void ConsoleTrafficModel::append(std::vector<EosTrafficEntry> entries) {
    if (entries.empty())
        return;
    // A batch that replaces every row is one reset rather than a removal and an insertion.
    if (entries.size() >= m_capacity) {
        beginResetModel();
        m_rows.assign(std::make_move_iterator(entries.end() - static_cast<std::ptrdiff_t>(m_capacity)),
                      std::make_move_iterator(entries.end()));
        endResetModel();
        return;
    }
    const std::size_t excess =
        m_rows.size() + entries.size() > m_capacity ? m_rows.size() + entries.size() - m_capacity : 0;
    if (excess > 0) {
        beginRemoveRows({}, 0, static_cast<int>(excess) - 1);
        m_rows.erase(m_rows.begin(), m_rows.begin() + static_cast<std::ptrdiff_t>(excess));
        endRemoveRows();
    }
    const int first = static_cast<int>(m_rows.size());
    beginInsertRows({}, first, first + static_cast<int>(entries.size()) - 1);
    m_rows.insert(m_rows.end(), std::make_move_iterator(entries.begin()),
                  std::make_move_iterator(entries.end()));
    endInsertRows();
}

void ConsoleTrafficModel::clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QString ConsoleTrafficModel::rowText(int row) const {
    QStringList cells;
    for (int column = 0; column < columnCount_; ++column)
        cells.append(cellText(row, column));
    return cells.join(u'\t');
}

} // namespace pexlora
