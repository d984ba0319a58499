// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/SecondaryLabel.h"

#include "widgets/SystemColors.h"

namespace pexlora {

SecondaryLabel::SecondaryLabel(const QString& text, QWidget* parent)
    : PlainLabel(text, parent) {
    setInk([](const SystemColors& colors) { return colors.secondaryLabel; });
}

} // namespace pexlora
