#include "app/KeyChip.h"

#include "app/TextStyles.h"

#include <QPainter>
#include <QPainterPath>

namespace pexlora {

KeyChip::KeyChip(QString symbol, QString label, ColorRole color, QWidget* parent)
    : QWidget(parent)
    , m_symbol(std::move(symbol))
    , m_label(std::move(label))
    , m_color(color) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
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
    painter.fillPath(background, SystemColors::withAlpha(tint, 0.12));

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
