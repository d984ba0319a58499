// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/CapsuleToggleButton.h"

namespace pexlora {

CapsuleToggleButton::CapsuleToggleButton(QString symbol, QString title, States states, QWidget* parent)
    : SymbolButton(std::move(symbol), std::move(title), {QMargins(10, 5, 10, 5), 0, true}, parent)
    , m_states(std::move(states))
    , m_offSymbol(SymbolButton::symbol()) {
    describe();
}

void CapsuleToggleButton::setOn(bool on) {
    if (on == m_on)
        return;
    m_on = on;
    describe();
    restyle();
}

void CapsuleToggleButton::describe() {
    const QString& text = m_on ? m_states.onText : m_states.offText;
    setToolTip(text);
    setAccessibleName(text);
    if (!m_states.onSymbol.isEmpty())
        setSymbol(m_on ? m_states.onSymbol : m_offSymbol);
}

SymbolButton::Look CapsuleToggleButton::look(const SystemColors& colors) const {
    if (m_on)
        return {colors.*m_states.onFill, QColor(Qt::white)};
    return {QColor(Qt::transparent), colors.label};
}

} // namespace pexlora
