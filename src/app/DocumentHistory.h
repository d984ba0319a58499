#pragma once

#include "model/GridViewModel.h"

#include <QObject>
#include <QPointer>
#include <QUndoStack>

namespace pexlora {

struct LayoutEdit;

// The undo history of one document: every layout edit the model announces
// becomes one step, and whether the history stands at the saved state decides
// the model's dirty flag, so undoing back to the save clears the edited mark.
// Selection, zoom, pan, mode and tool never make a step.
class DocumentHistory : public QObject {
    Q_OBJECT

public:
    explicit DocumentHistory(GridViewModel* model, QObject* parent = nullptr);

    QUndoStack* stack() { return &m_stack; }

    // The layout as it is now is the one on disk.
    void markSaved();
    // Forgets every step, for a layout that was just read again from disk.
    void clear();

private:
    void record(const LayoutEdit& edit);

    QPointer<GridViewModel> m_model;
    QUndoStack m_stack;
};

} // namespace pexlora
