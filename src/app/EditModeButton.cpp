#include "app/EditModeButton.h"

namespace pexlora {

EditModeButton::EditModeButton(QWidget* parent)
    : SymbolButton(QStringLiteral("square.and.pencil"), tr("Edit Layout"), {QMargins(10, 5, 10, 5), 0, true},
                   parent) {
    describe();
}

void EditModeButton::setEditing(bool editing) {
    if (editing == m_editing)
        return;
    m_editing = editing;
    describe();
    restyle();
}

void EditModeButton::describe() {
    const QString text = m_editing ? tr("Exit Edit Layout") : tr("Edit Layout");
    setToolTip(text);
    setAccessibleName(text);
}

SymbolButton::Look EditModeButton::look(const SystemColors& colors) const {
    if (m_editing)
        return {colors.accent, QColor(Qt::white)};
    return {QColor(Qt::transparent), colors.label};
}

} // namespace pexlora
