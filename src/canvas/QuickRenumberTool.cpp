// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/QuickRenumberTool.h"

#include "canvas/DevicePixels.h"
#include "model/GridViewModel.h"
#include "widgets/SystemColors.h"

#include <QFontMetricsF>
#include <QPainter>

namespace pexlora {

namespace {

using namespace Qt::StringLiterals;

QFont labelFont(QFont base, int dpi) {
    base.setPointSizeF(12.0 * 72.0 / (dpi > 0 ? dpi : 96));
    base.setWeight(QFont::DemiBold);
    return base;
}

QString labelText(const QString& next) {
    return u"→ "_s + next;
}

// Where the label stands for a pointer, with `base` the canvas's font on a
// device of `dpi` dots per inch.
QRectF labelRect(QPointF pointer, const QString& next, const QFont& base, int dpi) {
    const QSizeF size = QFontMetricsF(labelFont(base, dpi)).size(Qt::TextSingleLine, labelText(next));
    return {pointer.x() + 14, pointer.y() - (size.height() + 5) / 2, size.width() + 10, size.height() + 5};
}

} // namespace

void QuickRenumberTool::pressed(const PointerEvent& event) {
    if (const GridElement* hit = context().hitElement(event.position))
        model().applyQuickRenumber(hit->id);
}

QRect QuickRenumberTool::pointerOverlayArea(QPointF pointer) const {
    // With a margin for the anti-aliased edge.
    return labelRect(pointer, model().quickRenumberNext(), context().font(), context().logicalDpi())
        .toAlignedRect()
        .adjusted(-2, -2, 2, 2);
}

void QuickRenumberTool::paintOverlay(QPainter& painter, const SystemColors& colors,
                                     std::optional<QPointF> pointer) const {
    if (!pointer)
        return;
    const QFont base = painter.font();
    const int dpi = logicalDpi(painter);
    const QString& next = model().quickRenumberNext();
    const QRectF label = labelRect(*pointer, next, base, dpi);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colors.accent);
    painter.drawRoundedRect(label, 4, 4);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::white);
    painter.setFont(labelFont(base, dpi));
    painter.drawText(label.adjusted(5, 2.5, -5, -2.5), Qt::TextSingleLine, labelText(next));
    painter.setFont(base);
}

} // namespace pexlora
