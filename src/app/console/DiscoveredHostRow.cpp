// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/DiscoveredHostRow.h"

#include "widgets/SystemColors.h"
#include "widgets/TextStyles.h"

#include <QPainter>
#include <QPainterPath>

namespace pexlora {

namespace {

// Room kept between the name and the address when the popover is at its narrowest.
constexpr int addressGap = 16;
// Names come off the network: a long one is elided rather than widening the popover.
constexpr int maxTextWidth = 220;

// Texts from a reply on one line: line breaks and other control characters show as blanks.
QString oneLine(QString text) {
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return text;
}

} // namespace

DiscoveredHostRow::DiscoveredHostRow(EosDiscoveredHost host, QWidget* parent)
    : QAbstractButton(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setHost(std::move(host));
}

void DiscoveredHostRow::setHost(EosDiscoveredHost host) {
    m_host = std::move(host);
    refresh();
}

void DiscoveredHostRow::setInUse(bool inUse) {
    if (inUse == m_inUse)
        return;
    m_inUse = inUse;
    refresh();
}

void DiscoveredHostRow::refresh() {
    setAccessibleName(displayName() + QLatin1Char(' ') + secondaryText() + QLatin1Char(' ') + m_host.ip);
    updateGeometry();
    update();
}

QString DiscoveredHostRow::displayName() const {
    return m_host.name.isEmpty() ? tr("Unknown") : oneLine(m_host.name);
}

QString DiscoveredHostRow::consoleType() const {
    return oneLine(m_host.consoleType);
}

QString DiscoveredHostRow::secondaryText() const {
    if (!m_inUse)
        return consoleType();
    return consoleType().isEmpty() ? tr("In use") : tr("In use · %1").arg(consoleType());
}

QColor DiscoveredHostRow::dotColor() const {
    const SystemColors colors = SystemColors::fromPalette(palette());
    switch (m_host.sessionState) {
    case EosSessionState::primary:
        return colors.green;
    case EosSessionState::backup:
        return colors.yellow;
    case EosSessionState::client:
        return colors.blue;
    case EosSessionState::offline:
    case EosSessionState::unknown:
        break;
    }
    return colors.grey;
}

QFont DiscoveredHostRow::nameFont() const {
    return sizedFont(font(), 12, QFont::DemiBold);
}

QFont DiscoveredHostRow::typeFont() const {
    return sizedFont(font(), 11, QFont::Normal);
}

QFont DiscoveredHostRow::addressFont() const {
    return monospacedFont(11);
}

QSize DiscoveredHostRow::sizeHint() const {
    const QFontMetrics name(nameFont());
    const QFontMetrics type(typeFont());
    const QFontMetrics address(addressFont());
    const int textWidth = std::min(maxTextWidth, std::max(name.horizontalAdvance(displayName()),
                                                          type.horizontalAdvance(secondaryText())));
    const int width = dotSize + spacing + textWidth + addressGap + address.horizontalAdvance(m_host.ip);
    const int height = std::max({dotSize, name.height() + 1 + type.height(), address.height()});
    return QSize(width, height).grownBy(padding);
}

void DiscoveredHostRow::paintEvent(QPaintEvent*) {
    const SystemColors colors = SystemColors::fromPalette(palette());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath background;
    background.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    // A faint fill of the text colour, a little stronger under the pointer.
    const double alpha = isDown() ? 0.16 : (m_hovered || hasFocus()) ? 0.11 : 0.06;
    painter.fillPath(background, SystemColors::withAlpha(colors.label, alpha));

    const QRect content = rect().marginsRemoved(padding);
    painter.setPen(Qt::NoPen);
    painter.setBrush(dotColor());
    painter.drawEllipse(QRectF(content.left(), content.center().y() + 0.5 - dotSize / 2.0, dotSize, dotSize));

    const QFontMetrics addressMetrics(addressFont());
    const int addressWidth = addressMetrics.horizontalAdvance(m_host.ip);
    painter.setFont(addressFont());
    painter.setPen(colors.secondaryLabel);
    painter.drawText(content, Qt::AlignRight | Qt::AlignVCenter, m_host.ip);

    const QFontMetrics nameMetrics(nameFont());
    const QFontMetrics typeMetrics(typeFont());
    const int textLeft = content.left() + dotSize + spacing;
    const int textWidth = std::max(0, content.right() - addressWidth - spacing - textLeft);
    const int top = content.center().y() + 1 - (nameMetrics.height() + 1 + typeMetrics.height()) / 2;
    painter.setFont(nameFont());
    painter.setPen(colors.label);
    painter.drawText(QRect(textLeft, top, textWidth, nameMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     nameMetrics.elidedText(displayName(), Qt::ElideRight, textWidth));
    painter.setFont(typeFont());
    painter.setPen(colors.secondaryLabel);
    painter.drawText(QRect(textLeft, top + nameMetrics.height() + 1, textWidth, typeMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     typeMetrics.elidedText(secondaryText(), Qt::ElideRight, textWidth));
}

void DiscoveredHostRow::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void DiscoveredHostRow::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace pexlora
