// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/EosStatusButton.h"

#include "widgets/SystemColors.h"
#include "widgets/TextStyles.h"

#include <QPainter>

namespace pexlora {

EosStatusButton::EosStatusButton(QWidget* parent)
    : QAbstractButton(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void EosStatusButton::setConnected(bool connected) {
    if (connected == m_connected)
        return;
    m_connected = connected;
    update();
}

QColor EosStatusButton::dotColor() const {
    const SystemColors colors = SystemColors::fromPalette(palette());
    return m_connected ? colors.green : colors.red;
}

QFont EosStatusButton::labelFont() const {
    return sizedFont(font(), 11, QFont::Normal);
}

QSize EosStatusButton::sizeHint() const {
    const QFontMetrics metrics(labelFont());
    const QSize content(dotSize + spacing + metrics.horizontalAdvance(text()),
                        std::max(dotSize, metrics.height()));
    return content.grownBy(padding);
}

void EosStatusButton::paintEvent(QPaintEvent*) {
    const SystemColors colors = SystemColors::fromPalette(palette());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown())
        painter.fillRect(rect(), SystemColors::withAlpha(colors.label, 0.08));
    const QRect content = rect().marginsRemoved(padding);
    const QRectF dot(content.left(), content.center().y() + 0.5 - dotSize / 2.0, dotSize, dotSize);
    painter.setPen(Qt::NoPen);
    painter.setBrush(dotColor());
    painter.drawEllipse(dot);
    painter.setFont(labelFont());
    painter.setPen(hasFocus() ? colors.label : colors.secondaryLabel);
    painter.drawText(content.adjusted(dotSize + spacing, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text());
}

} // namespace pexlora
