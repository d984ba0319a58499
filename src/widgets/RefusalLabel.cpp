// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/RefusalLabel.h"

#include "widgets/SystemColors.h"
#include "widgets/TextStyles.h"

namespace pexlora {

RefusalLabel::RefusalLabel(QWidget* parent)
    : PlainLabel(QString(), parent) {
    setFont(captionFont(font()));
    setWordWrap(true);
    hide();
    // Red softened towards the window, so that it reads as a note, not an alarm.
    setInk([](const SystemColors& colors) {
        return SystemColors::over(SystemColors::withAlpha(colors.red, 0.8), colors.windowBackground);
    });
}

void RefusalLabel::setReason(const QString& reason) {
    setText(reason);
    setVisible(!reason.isEmpty());
}

} // namespace pexlora
