// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/RecordGroupButton.h"

#include "widgets/TextStyles.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

namespace pexlora {

RecordGroupButton::RecordGroupButton(QWidget* parent)
    : QAbstractButton(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // A click leaves the keyboard with the canvas; Tab still reaches the button.
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

QFont RecordGroupButton::labelFont() const {
    return sizedFont(font(), 12, QFont::DemiBold);
}

QSize RecordGroupButton::sizeHint() const {
    const QFontMetrics metrics(labelFont());
    return QSize(metrics.horizontalAdvance(text()), metrics.height()).grownBy(padding);
}

void RecordGroupButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(opacity());
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(shape, isDown() ? fillColor().lighter(130) : fillColor());
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawPath(shape);
    }
    painter.setFont(labelFont());
    painter.setPen(Qt::white);
    painter.drawText(rect().marginsRemoved(padding), Qt::AlignCenter, text());
}

void RecordGroupButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        update();
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QAbstractButton::changeEvent(event);
}

} // namespace pexlora
