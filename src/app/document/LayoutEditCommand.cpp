// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/document/LayoutEditCommand.h"

#include "model/GridViewModel.h"

#include <QCoreApplication>

namespace pexlora {

LayoutEditCommand::LayoutEditCommand(GridViewModel* model, LayoutEdit edit)
    : QUndoCommand(nameOf(edit))
    , m_model(model)
    , m_edit(std::move(edit)) {}

QString LayoutEditCommand::nameOf(const LayoutEdit& edit) {
    const char* name = "";
    switch (edit.kind) {
    case LayoutEdit::Kind::addCells:
        name = edit.added.size() == 1 ? QT_TRANSLATE_NOOP("pexlora::LayoutEditCommand", "Add Cell")
                                      : QT_TRANSLATE_NOOP("pexlora::LayoutEditCommand", "Add Cells");
        break;
    case LayoutEdit::Kind::moveCells:
        name = QT_TRANSLATE_NOOP("pexlora::LayoutEditCommand", "Move");
        break;
    case LayoutEdit::Kind::deleteCells:
        name = QT_TRANSLATE_NOOP("pexlora::LayoutEditCommand", "Delete");
        break;
    case LayoutEdit::Kind::renumber:
        name = QT_TRANSLATE_NOOP("pexlora::LayoutEditCommand", "Renumber");
        break;
    case LayoutEdit::Kind::quickRenumber:
        name = QT_TRANSLATE_NOOP("pexlora::LayoutEditCommand", "Quick Renumber");
        break;
    }
    return QCoreApplication::translate("pexlora::LayoutEditCommand", name);
}

void LayoutEditCommand::undo() {
    if (m_model)
        m_model->revertEdit(m_edit);
}

void LayoutEditCommand::redo() {
    if (m_madeAlready) {
        m_madeAlready = false;
        return;
    }
    if (m_model)
        m_model->reapplyEdit(m_edit);
}

} // namespace pexlora
