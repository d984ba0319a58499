// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/LayoutEdit.h"

#include <QPointer>
#include <QUndoCommand>

namespace pexlora {

class GridViewModel;

// One layout edit as a step of the document's undo history. The edit has
// already been made when the step is pushed, so its first redo() does nothing.
class LayoutEditCommand : public QUndoCommand {
public:
    LayoutEditCommand(GridViewModel* model, LayoutEdit edit);

    // The step's name as the Edit menu shows it after "Undo " or "Redo ".
    static QString nameOf(const LayoutEdit& edit);

    void undo() override;
    void redo() override;

    const LayoutEdit& edit() const { return m_edit; }

private:
    QPointer<GridViewModel> m_model;
    LayoutEdit m_edit;
    bool m_madeAlready = true;
};

} // namespace pexlora
