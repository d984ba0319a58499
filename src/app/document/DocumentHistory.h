// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridViewModel.h"

#include <QObject>
#include <QPointer>
#include <QUndoStack>

namespace pexlora {

struct LayoutEdit;

// The undo history of one document: every layout edit the model announces
// becomes one step, and whether the history stands at the saved state decides
// whether the document has unsaved changes (the window's edited mark), so
// undoing back to the save clears the mark, and nothing Undo cannot take back
// sets it. Selection, zoom, pan, mode and tool never make a step.
class DocumentHistory : public QObject {
    Q_OBJECT

public:
    explicit DocumentHistory(GridViewModel* model, QObject* parent = nullptr);

    QUndoStack* stack() { return &m_stack; }

    // Whether the layout differs from the one on disk.
    bool hasUnsavedChanges() const { return !m_stack.isClean(); }

    // The layout as it is now is the one on disk.
    void markSaved();
    // Forgets every step, for a layout that was just read again from disk.
    void clear();
    // The layout is not the one on disk, and no undoing makes it so (a layout
    // recovered after a crash).
    void markUnsaved();

signals:
    void unsavedChangesChanged(bool unsaved);

private:
    void record(const LayoutEdit& edit);

    QPointer<GridViewModel> m_model;
    QUndoStack m_stack;
};

} // namespace pexlora
