// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/KeyChip.h"

#include "widgets/TextStyles.h"

#include <QPainter>
#include <QPainterPath>

namespace pexlora {

KeyChip::KeyChip(QString symbol, QString label, ColorRole color, QWidget* parent)
    : QAbstractButton(parent)
    , m_symbol(std::move(symbol))
    , m_label(std::move(label))
    , m_color(color) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCheckable(true);
    // A click latches an order for the canvas; the keyboard stays there.
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(m_symbol + QLatin1Char(' ') + m_label);
}

QFont KeyChip::symbolFont() const {
    return sizedFont(font(), 11, QFont::DemiBold);
}

QFont KeyChip::labelFont() const {
    return captionFont(font());
}

QSize KeyChip::sizeHint() const {
    const QFontMetrics symbolMetrics(symbolFont());
    const QFontMetrics labelMetrics(labelFont());
    const int width =
        symbolMetrics.horizontalAdvance(m_symbol) + spacing + labelMetrics.horizontalAdvance(m_label);
    const int height = std::max(symbolMetrics.height(), labelMetrics.height());
    return {width + padding.left() + padding.right(), height + padding.top() + padding.bottom()};
}

void KeyChip::paintEvent(QPaintEvent*) {
    const SystemColors colors = SystemColors::fromPalette(palette());
    const QColor tint = colors.*m_color;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath background;
    background.addRoundedRect(QRectF(rect()), 5, 5);
    const bool pressed = isChecked() || isDown();
    painter.fillPath(background, SystemColors::withAlpha(tint, pressed ? 0.32 : 0.12));
    if (pressed) {
        // Pushed in: a rim of the key's colour round a deeper tint.
        QPainterPath rim;
        rim.addRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 4.25, 4.25);
        painter.strokePath(rim, QPen(SystemColors::withAlpha(tint, 0.9), 1.5));
    }

    const QRect content = rect().marginsRemoved(padding);
    const QFontMetrics symbolMetrics(symbolFont());
    painter.setFont(symbolFont());
    painter.setPen(tint);
    painter.drawText(content, Qt::AlignLeft | Qt::AlignVCenter, m_symbol);
    painter.setFont(labelFont());
    painter.setPen(colors.secondaryLabel);
    painter.drawText(content.adjusted(symbolMetrics.horizontalAdvance(m_symbol) + spacing, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter, m_label);
}

} // namespace pexlora
