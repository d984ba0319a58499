// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosTrafficLog.h"

#include <QAbstractTableModel>
#include <deque>
#include <vector>

namespace pexlora {

// The rows the traffic window shows: a copy of part of the traffic log, taken in
// batches, so that the view never reads the log while the link writes to it and
// never learns of one message at a time.
class ConsoleTrafficModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { timeColumn, directionColumn, addressColumn, argumentsColumn, columnCount_ };

    explicit ConsoleTrafficModel(std::size_t capacity, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // New rows go last; the oldest go once there are more than the capacity.
    void append(std::vector<EosTrafficEntry> entries);
    void clear();

    const EosTrafficEntry& entry(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    // One row as a line of text, its columns separated by tabs.
    QString rowText(int row) const;
    QString cellText(int row, int column) const;

private:
    std::size_t m_capacity;
    std::deque<EosTrafficEntry> m_rows;
};

} // namespace pexlora
