// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/PlainLabel.h"

namespace pexlora {

PlainLabel::PlainLabel(const QString& text, QWidget* parent)
    : QLabel(parent) {
    // Before the text, so that it is never read as markup, not even once.
    setTextFormat(Qt::PlainText);
    setOpenExternalLinks(false);
    setText(text);
}

} // namespace pexlora
