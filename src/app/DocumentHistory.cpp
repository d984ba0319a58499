#include "app/DocumentHistory.h"

#include "app/LayoutEditCommand.h"
#include "model/GridViewModel.h"

#include <QTimer>

namespace pexlora {

DocumentHistory::DocumentHistory(GridViewModel* model, QObject* parent)
    : QObject(parent)
    , m_model(model) {
    connect(model, &GridViewModel::layoutEdited, this, &DocumentHistory::record);
    connect(&m_stack, &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (m_model)
            m_model->setDirty(!clean);
    });
    // An undo or redo ends the gesture: what follows it is a step of its own.
    connect(&m_stack, &QUndoStack::indexChanged, this, [this] {
        if (!m_recording)
            m_gestureOpen = false;
    });
}

void DocumentHistory::record(const LayoutEdit& edit) {
    // One gesture is what one input event does: its edits all arrive before the
    // event loop turns again.
    if (!m_gestureOpen) {
        ++m_gesture;
        m_gestureOpen = true;
        QTimer::singleShot(0, this, [this] { m_gestureOpen = false; });
    }
    m_recording = true;
    m_stack.push(new LayoutEditCommand(m_model, edit, m_gesture));
    m_recording = false;
}

void DocumentHistory::markSaved() {
    m_stack.setClean();
    if (m_model)
        m_model->setDirty(false);
}

void DocumentHistory::clear() {
    m_stack.clear();
    if (m_model)
        m_model->setDirty(false);
}

} // namespace pexlora
