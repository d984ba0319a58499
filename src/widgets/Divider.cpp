// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/Divider.h"

#include "widgets/SystemColors.h"

#include <QPainter>

namespace pexlora {

Divider::Divider(QWidget* parent)
    : QWidget(parent) {
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Divider::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), SystemColors::fromPalette(palette()).separator);
}

} // namespace pexlora
