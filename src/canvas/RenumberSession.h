// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/PopoverHost.h"

#include <QObject>
#include <QPointer>
#include <QUuid>

class QWidget;

namespace pexlora {

class GridViewModel;

// Renumbering cells one after another in a popover below the cell: Return
// commits, Escape cancels, Tab commits and goes on to the next cell in reading
// order, and a click elsewhere keeps the typed number. At most one popover is
// open; the canvas it belongs to anchors it and takes the focus back.
class RenumberSession : public QObject {
    Q_OBJECT

public:
    explicit RenumberSession(QWidget& canvas);

    // Closes a popover opened for the previous model without committing it.
    void setModel(GridViewModel* model);

    // Commits a renumber under way, then opens the popover for the cell `id`.
    void open(const QUuid& id);
    Popover* popover() const { return m_popover.popover(); }

private:
    void close(bool commit);
    void tabToNext();
    void popoverClosed();
    void returnFocus();

    QWidget& m_canvas;
    QPointer<GridViewModel> m_model;
    PopoverHost m_popover;
};

} // namespace pexlora
