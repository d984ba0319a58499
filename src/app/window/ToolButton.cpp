// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/ToolButton.h"

namespace pexlora {

ToolButton::ToolButton(QString systemImage, QString label, QWidget* parent)
    : SymbolButton(std::move(systemImage), label, {QMargins(6, 4, 6, 4), 6, false}, parent) {
    setToolTip(label);
    setAccessibleName(label);
}

void ToolButton::setActive(bool active) {
    if (active == m_active)
        return;
    m_active = active;
    restyle();
}

SymbolButton::Look ToolButton::look(const SystemColors& colors) const {
    return {m_active ? SystemColors::withAlpha(colors.accent, 0.2) : QColor(Qt::transparent), colors.label};
}

} // namespace pexlora
