// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/PlainLabel.h"

#include "widgets/SystemColors.h"

#include <QEvent>

namespace pexlora {

PlainLabel::PlainLabel(const QString& text, QWidget* parent)
    : QLabel(parent) {
    // Before the text, so that it is never read as markup, not even once.
    setTextFormat(Qt::PlainText);
    setOpenExternalLinks(false);
    setText(text);
}

void PlainLabel::setInk(Ink ink) {
    m_ink = std::move(ink);
    if (m_ink)
        takeInk();
    else
        setPalette(QPalette());
}

void PlainLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange && m_ink)
        takeInk();
    QLabel::changeEvent(event);
}

void PlainLabel::takeInk() {
    const QColor colour = m_ink(SystemColors::fromPalette(palette()));
    // Setting the palette sends another change: only the first one changes anything.
    if (palette().color(QPalette::WindowText) == colour)
        return;
    QPalette own = palette();
    own.setColor(QPalette::WindowText, colour);
    setPalette(own);
}

} // namespace pexlora
