// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ElidedLabel.h"

#include "widgets/PlainMessage.h"

#include <QFontMetrics>
#include <QPainter>

namespace pexlora {

ElidedLabel::ElidedLabel(QWidget* parent)
    : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void ElidedLabel::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    // A console's line could be anything of any length: cut once here, so that no
    // paint measures all of it, and the tooltip shows it as plain text, not as the
    // markup Qt would take a "<b>" at its start for.
    m_shown = text.size() > maxShownLength ? text.left(maxShownLength) + u'…' : text;
    setToolTip(plainToolTip(m_shown));
    setAccessibleName(m_shown);
    updateGeometry();
    update();
}

QString ElidedLabel::shownText() const {
    // Only one line is drawn.
    QString line = m_shown;
    line.replace(u'\n', u' ').replace(u'\r', u' ');
    return fontMetrics().elidedText(line, Qt::ElideRight, contentsRect().width());
}

QSize ElidedLabel::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    const QMargins m = contentsMargins();
    return {metrics.horizontalAdvance(m_shown.left(200)) + m.left() + m.right(),
            metrics.height() + m.top() + m.bottom()};
}

QSize ElidedLabel::minimumSizeHint() const {
    const QMargins m = contentsMargins();
    return {m.left() + m.right(), fontMetrics().height() + m.top() + m.bottom()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownText());
}

} // namespace pexlora
