#include "app/LayoutEditCommand.h"

#include "model/GridViewModel.h"

#include <QCoreApplication>

namespace pexlora {

LayoutEditCommand::LayoutEditCommand(GridViewModel* model, LayoutEdit edit, std::uint64_t gesture)
    : QUndoCommand(nameOf(edit))
    , m_model(model)
    , m_edit(std::move(edit))
    , m_gesture(gesture) {}

QString LayoutEditCommand::nameOf(const LayoutEdit& edit) {
    const char* name = "";
    switch (edit.kind) {
    case LayoutEdit::Kind::addCells:
        name = edit.added.size() == 1 ? "Add Cell" : "Add Cells";
        break;
    case LayoutEdit::Kind::moveCells:
        name = "Move";
        break;
    case LayoutEdit::Kind::deleteCells:
        name = "Delete";
        break;
    case LayoutEdit::Kind::renumber:
        name = "Renumber";
        break;
    case LayoutEdit::Kind::quickRenumber:
        name = "Quick Renumber";
        break;
    }
    return QCoreApplication::translate("LayoutEditCommand", name);
}

int LayoutEditCommand::id() const {
    // Only additions merge; every other edit is a step of its own.
    return m_edit.kind == LayoutEdit::Kind::addCells ? 1 : -1;
}

bool LayoutEditCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const LayoutEditCommand*>(other);
    if (next->m_gesture != m_gesture || next->m_model != m_model)
        return false;
    // Placements append, so the later cells stand after these: the list stays ascending.
    m_edit.added.insert(m_edit.added.end(), next->m_edit.added.begin(), next->m_edit.added.end());
    setText(nameOf(m_edit));
    return true;
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
