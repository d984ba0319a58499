#pragma once

#include "app/SymbolButton.h"

namespace pexlora {

// Switches between laying the grid out and selecting on it; filled with the
// accent colour while editing.
class EditModeButton : public SymbolButton {
    Q_OBJECT

public:
    explicit EditModeButton(QWidget* parent = nullptr);

    bool isEditing() const { return m_editing; }
    void setEditing(bool editing);

    Look look(const SystemColors& colors) const override;

private:
    void describe();

    bool m_editing = false;
};

} // namespace pexlora
