// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/SecondaryLabel.h"

#include "widgets/SystemColors.h"

#include <QEvent>

namespace pexlora {

SecondaryLabel::SecondaryLabel(const QString& text, QWidget* parent)
    : PlainLabel(text, parent) {
    takeColour();
}

void SecondaryLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        takeColour();
    QLabel::changeEvent(event);
}

void SecondaryLabel::takeColour() {
    const QColor colour = SystemColors::fromPalette(palette()).secondaryLabel;
    // Setting the palette sends another change: only the first one changes anything.
    if (palette().color(QPalette::WindowText) == colour)
        return;
    QPalette own = palette();
    own.setColor(QPalette::WindowText, colour);
    setPalette(own);
}

} // namespace pexlora
