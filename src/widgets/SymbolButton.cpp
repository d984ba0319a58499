// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/SymbolButton.h"

#include "widgets/SymbolIcon.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

namespace pexlora {

SymbolButton::SymbolButton(QString symbol, QString title, Shape shape, QWidget* parent)
    : QAbstractButton(parent)
    , m_symbol(std::move(symbol))
    , m_title(std::move(title))
    , m_shape(shape) {
    setText(m_title);
    // Toolbar buttons leave the keyboard focus with the canvas.
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SymbolButton::sizeHint() const {
    int width = symbolSize;
    int height = symbolSize;
    if (!m_title.isEmpty()) {
        const QFontMetrics metrics = fontMetrics();
        width += spacing + metrics.horizontalAdvance(m_title);
        height = std::max(height, metrics.height());
    }
    return {width + m_shape.padding.left() + m_shape.padding.right(),
            height + m_shape.padding.top() + m_shape.padding.bottom()};
}

void SymbolButton::setSymbol(QString symbol) {
    m_symbol = std::move(symbol);
    update();
}

void SymbolButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        updateGeometry();
    QAbstractButton::changeEvent(event);
}

void SymbolButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Look colors = look(SystemColors::fromPalette(palette()));

    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = m_shape.capsule ? bounds.height() / 2 : m_shape.cornerRadius;
    QPainterPath background;
    background.addRoundedRect(bounds, radius, radius);
    QColor fill = colors.fill;
    if (isDown() && fill.alpha() > 0)
        fill = fill.darker(115);
    else if (isDown())
        fill = SystemColors::withAlpha(colors.content, 0.12);
    painter.fillPath(background, fill);

    const QRect content = rect().marginsRemoved(m_shape.padding);
    const QSize hint = sizeHint().shrunkBy(m_shape.padding);
    const int left = content.x() + (content.width() - hint.width()) / 2;
    const QRectF symbolBox(left, content.y() + (content.height() - symbolSize) / 2.0, symbolSize, symbolSize);
    QColor ink = colors.content;
    if (!isEnabled())
        ink = SystemColors::withAlpha(ink, 0.4);
    SymbolIcon::paint(painter, m_symbol, symbolBox, ink);
    if (!m_title.isEmpty()) {
        painter.setPen(ink);
        const QRect titleBox(left + symbolSize + spacing, content.y(),
                             content.right() - left - symbolSize - spacing + 1, content.height());
        painter.drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter, m_title);
    }
}

} // namespace pexlora
