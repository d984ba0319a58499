// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/SymbolButton.h"

namespace pexlora {

// One editing tool of the picker: its symbol and title on a faint accent tint
// while it is the tool in use.
class ToolButton : public SymbolButton {
    Q_OBJECT

public:
    ToolButton(QString systemImage, QString label, QWidget* parent = nullptr);

    bool isActive() const { return m_active; }
    void setActive(bool active);

    Look look(const SystemColors& colors) const override;

private:
    bool m_active = false;
};

} // namespace pexlora
