// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/document/DocumentHistory.h"

#include "app/document/LayoutEditCommand.h"
#include "model/GridViewModel.h"

namespace pexlora {

DocumentHistory::DocumentHistory(GridViewModel* model, QObject* parent)
    : QObject(parent)
    , m_model(model) {
    connect(model, &GridViewModel::layoutEdited, this, &DocumentHistory::record);
    connect(&m_stack, &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (m_model)
            m_model->setDirty(!clean);
        emit unsavedChangesChanged(!clean);
    });
}

void DocumentHistory::record(const LayoutEdit& edit) {
    // The model announces a dragged line as one edit, so one edit is one step.
    m_stack.push(new LayoutEditCommand(m_model, edit));
}

void DocumentHistory::markSaved() {
    m_stack.setClean();
    if (m_model)
        m_model->setDirty(false);
}

void DocumentHistory::markUnsaved() {
    m_stack.resetClean();
    if (m_model)
        m_model->setDirty(true);
}

void DocumentHistory::clear() {
    m_stack.clear();
    if (m_model)
        m_model->setDirty(false);
}

} // namespace pexlora
