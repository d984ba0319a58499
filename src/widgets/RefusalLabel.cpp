// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/RefusalLabel.h"

#include "widgets/SystemColors.h"
#include "widgets/TextStyles.h"

#include <QEvent>

namespace pexlora {

RefusalLabel::RefusalLabel(QWidget* parent)
    : PlainLabel(QString(), parent) {
    setFont(captionFont(font()));
    setWordWrap(true);
    hide();
    takeColour();
}

void RefusalLabel::setReason(const QString& reason) {
    setText(reason);
    setVisible(!reason.isEmpty());
}

void RefusalLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        takeColour();
    PlainLabel::changeEvent(event);
}

void RefusalLabel::takeColour() {
    const SystemColors colors = SystemColors::fromPalette(palette());
    // Red softened towards the window, so that it reads as a note, not an alarm.
    const QColor colour =
        SystemColors::over(SystemColors::withAlpha(colors.red, 0.8), colors.windowBackground);
    // Setting the palette sends another change: only the first one changes anything.
    if (palette().color(QPalette::WindowText) == colour)
        return;
    QPalette own = palette();
    own.setColor(QPalette::WindowText, colour);
    setPalette(own);
}

} // namespace pexlora
