// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace pexlora {

class EosGroupDirectory;
class GridCanvasView;
class GridViewModel;

// The desk's groups beside the grid: number, label and channel count. Choosing one
// makes its channels the selection, in the group's order, so that the badges and
// the preview show that order and Rec. Group can store it again; pointing at one
// outlines its cells.
class ConsoleGroupsPanel : public QWidget {
    Q_OBJECT

public:
    ConsoleGroupsPanel(EosGroupDirectory* groups, GridViewModel* model, GridCanvasView* canvas,
                       QWidget* parent = nullptr);

    QTreeWidget* list() const { return m_list; }
    // How the reading stands, or what choosing a group left out.
    QLabel* statusLine() const { return m_status; }

    // Selects the channels of group `number` on the grid.
    void choose(const QString& number);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showGroups();
    void showStatus();
    void outline(QTreeWidgetItem* item);
    // The cells of the group's channels, in the group's order, and how many channels have none.
    std::pair<std::vector<QUuid>, int> cellsOf(const QString& number) const;

    QPointer<EosGroupDirectory> m_groups;
    QPointer<GridViewModel> m_model;
    QPointer<GridCanvasView> m_canvas;
    QLabel* m_status;
    QTreeWidget* m_list;
    QString m_missing; // what the last choice left out
};

} // namespace pexlora
