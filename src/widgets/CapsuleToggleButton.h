// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/SymbolButton.h"

namespace pexlora {

// A toolbar switch with two states, the edit-mode and the preview buttons: a
// capsule filled with its colour under white content while on, plain in the
// text colour while off. Each state has its own tooltip and accessible name,
// which say what a click does.
class CapsuleToggleButton : public SymbolButton {
    Q_OBJECT

public:
    struct States {
        QString offText;
        QString onText;
        // The fill while on, one of the palette's colours.
        QColor SystemColors::*onFill = &SystemColors::accent;
        // The symbol while on, where it differs, as a stop square for a play triangle.
        QString onSymbol = {};
    };

    CapsuleToggleButton(QString symbol, QString title, States states, QWidget* parent = nullptr);

    bool isOn() const { return m_on; }
    void setOn(bool on);

    Look look(const SystemColors& colors) const override;

private:
    void describe();

    States m_states;
    QString m_offSymbol;
    bool m_on = false;
};

} // namespace pexlora
