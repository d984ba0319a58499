#pragma once

#include "model/LayoutEdit.h"

#include <QPointer>
#include <QUndoCommand>
#include <cstdint>

namespace pexlora {

class GridViewModel;

// One layout edit as a step of the document's undo history. The edit has
// already been made when the step is pushed, so its first redo() does nothing.
class LayoutEditCommand : public QUndoCommand {
public:
    // `gesture` numbers the user's action that made the edit.
    LayoutEditCommand(GridViewModel* model, LayoutEdit edit, std::uint64_t gesture = 0);

    // The step's name as the Edit menu shows it after "Undo " or "Redo ".
    static QString nameOf(const LayoutEdit& edit);

    void undo() override;
    void redo() override;

    // Cells added one by one in one gesture (a line placed cell by cell) merge
    // into one step.
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

    const LayoutEdit& edit() const { return m_edit; }

private:
    QPointer<GridViewModel> m_model;
    LayoutEdit m_edit;
    bool m_madeAlready = true;
    std::uint64_t m_gesture;
};

} // namespace pexlora
