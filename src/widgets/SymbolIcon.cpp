// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/SymbolIcon.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace pexlora {

namespace {

// Every symbol is drawn on a 20 × 20 design square.
constexpr double designSize = 20.0;

QPen strokePen(const QColor& color, double width) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void squareAndPencil(QPainter& p, const QColor& color) {
    p.setPen(strokePen(color, 1.6));
    p.setBrush(Qt::NoBrush);
    // The square is left open at its top right, where the pencil leaves it.
    QPainterPath square;
    square.moveTo(10.5, 3.5);
    square.lineTo(5.5, 3.5);
    square.quadTo(3.0, 3.5, 3.0, 6.0);
    square.lineTo(3.0, 14.5);
    square.quadTo(3.0, 17.0, 5.5, 17.0);
    square.lineTo(14.0, 17.0);
    square.quadTo(16.5, 17.0, 16.5, 14.5);
    square.lineTo(16.5, 9.5);
    p.drawPath(square);
    QPainterPath pencil;
    pencil.moveTo(8.5, 12.0);
    pencil.lineTo(9.0, 9.5);
    pencil.lineTo(15.5, 3.0);
    pencil.quadTo(16.5, 2.0, 17.5, 3.0);
    pencil.quadTo(18.5, 4.0, 17.5, 5.0);
    pencil.lineTo(11.0, 11.5);
    pencil.closeSubpath();
    p.setBrush(color);
    p.drawPath(pencil);
}

// The ring the play and stop symbols stand in.
void ring(QPainter& p, const QColor& color) {
    p.setPen(strokePen(color, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(10, 10), 7.5, 7.5);
}

void playCircle(QPainter& p, const QColor& color) {
    ring(p, color);
    QPainterPath triangle;
    triangle.moveTo(8.2, 6.6);
    triangle.lineTo(13.8, 10.0);
    triangle.lineTo(8.2, 13.4);
    triangle.closeSubpath();
    p.setPen(strokePen(color, 1.0));
    p.setBrush(color);
    p.drawPath(triangle);
}

void stopCircle(QPainter& p, const QColor& color) {
    ring(p, color);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(QRectF(7.0, 7.0, 6.0, 6.0), 1.0, 1.0);
}

void cursorArrow(QPainter& p, const QColor& color) {
    QPainterPath arrow;
    arrow.moveTo(5.0, 2.5);
    arrow.lineTo(15.0, 12.0);
    arrow.lineTo(10.6, 12.2);
    arrow.lineTo(13.2, 17.2);
    arrow.lineTo(11.0, 18.2);
    arrow.lineTo(8.5, 13.2);
    arrow.lineTo(5.0, 16.4);
    arrow.closeSubpath();
    p.setPen(strokePen(color, 1.0));
    p.setBrush(color);
    p.drawPath(arrow);
}

void plusAppFill(QPainter& p, const QColor& color) {
    QPainterPath square;
    square.addRoundedRect(QRectF(2.5, 2.5, 15, 15), 4, 4);
    QPainterPath upright;
    upright.addRoundedRect(QRectF(9.1, 5.5, 1.8, 9), 0.9, 0.9);
    QPainterPath across;
    across.addRoundedRect(QRectF(5.5, 9.1, 9, 1.8), 0.9, 0.9);
    // The plus is cut out of the square, so the background shows through it.
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(square.subtracted(upright.united(across)));
}

void number(QPainter& p, const QColor& color) {
    p.setPen(strokePen(color, 1.7));
    p.drawLine(QPointF(8.3, 3.0), QPointF(6.7, 17.0));
    p.drawLine(QPointF(13.8, 3.0), QPointF(12.2, 17.0));
    p.drawLine(QPointF(3.5, 7.5), QPointF(16.8, 7.5));
    p.drawLine(QPointF(3.2, 12.5), QPointF(16.5, 12.5));
}

void numbers(QPainter& p, const QColor& color) {
    QFont font;
    font.setPixelSize(10);
    font.setWeight(QFont::Bold);
    QPainterPath text;
    text.addText(0, 0, font, QStringLiteral("123"));
    // Fitted into the design square whatever the font's metrics.
    const QRectF bounds = text.boundingRect();
    const double scale = std::min(17.0 / bounds.width(), 10.0 / bounds.height());
    QTransform fit;
    fit.translate(10.0, 10.0);
    fit.scale(scale, scale);
    fit.translate(-bounds.center().x(), -bounds.center().y());
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(fit.map(text));
}

using Painter = void (*)(QPainter&, const QColor&);

struct NamedSymbol {
    QStringView name;
    Painter paint;
};

constexpr NamedSymbol symbols[] = {
    {u"square.and.pencil", squareAndPencil}, {u"play.circle", playCircle}, {u"stop.circle", stopCircle},
    {u"cursorarrow", cursorArrow},
    {u"plus.app.fill", plusAppFill},         {u"number", number},          {u"numbers", numbers},
};

Painter painterFor(QStringView name) {
    for (const NamedSymbol& symbol : symbols)
        if (symbol.name == name)
            return symbol.paint;
    return nullptr;
}

} // namespace

QStringList SymbolIcon::names() {
    QStringList list;
    for (const NamedSymbol& symbol : symbols)
        list.append(symbol.name.toString());
    return list;
}

bool SymbolIcon::isKnown(QStringView name) {
    return painterFor(name) != nullptr;
}

void SymbolIcon::paint(QPainter& painter, QStringView name, const QRectF& box, const QColor& color) {
    const Painter paintSymbol = painterFor(name);
    if (!paintSymbol || box.isEmpty())
        return;
    const double side = std::min(box.width(), box.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    painter.scale(side / designSize, side / designSize);
    paintSymbol(painter, color);
    painter.restore();
}

} // namespace pexlora
