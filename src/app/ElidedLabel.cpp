#include "app/ElidedLabel.h"

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
    setToolTip(text);
    setAccessibleName(text);
    updateGeometry();
    update();
}

QString ElidedLabel::shownText() const {
    // A console's line could hold anything; only its first line is shown.
    QString line = m_text;
    line.replace(u'\n', u' ').replace(u'\r', u' ');
    return fontMetrics().elidedText(line, Qt::ElideRight, contentsRect().width());
}

QSize ElidedLabel::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    const QMargins m = contentsMargins();
    return {metrics.horizontalAdvance(m_text.left(200)) + m.left() + m.right(),
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
