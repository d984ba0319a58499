// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/QuickRenumberTool.h"

#include "canvas/CanvasGeometry.h"
#include "canvas/DevicePixels.h"
#include "model/GridViewModel.h"
#include "widgets/SystemColors.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

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

QSizeF labelSize(const QString& next, const QFont& base, int dpi) {
    const QSizeF text = QFontMetricsF(labelFont(base, dpi)).size(Qt::TextSingleLine, labelText(next));
    return {text.width() + 10, text.height() + 5};
}

// Room between the label and the square, and from the pointer sideways.
constexpr double gap = 4;
constexpr double pointerClearance = 14;

} // namespace

void QuickRenumberTool::pressed(const PointerEvent& event) {
    if (const GridElement* hit = context().hitElement(event.position))
        model().applyQuickRenumber(hit->id);
}

QRectF QuickRenumberTool::labelPlacement(QSizeF size, QPointF pointer, const QRectF& target,
                                         const QRectF& view) {
    const auto fitsVertically = [&](double y) {
        return y >= view.top() && y + size.height() <= view.bottom();
    };
    const double x = std::clamp(pointer.x() + pointerClearance, view.left(),
                                std::max(view.left(), view.right() - size.width()));
    if (const double below = target.bottom() + gap; fitsVertically(below))
        return {QPointF(x, below), size};
    if (const double above = target.top() - gap - size.height(); fitsVertically(above))
        return {QPointF(x, above), size};
    // A square as tall as the view: beside it, level with the pointer.
    const double y = std::clamp(pointer.y() - size.height() / 2, view.top(),
                                std::max(view.top(), view.bottom() - size.height()));
    const double right = target.right() + gap;
    if (right + size.width() <= view.right())
        return {QPointF(right, y), size};
    return {QPointF(target.left() - gap - size.width(), y), size};
}

QRectF QuickRenumberTool::labelRect(QPointF pointer) const {
    const GridViewModel& grid = model();
    const double size = grid.cellSize();
    const QSizeF pan = grid.panOffset();
    // The square under the pointer, whether a cell stands there or not.
    const QRectF target(firstLineIndex(pointer.x(), size, pan.width()) * size + pan.width(),
                        firstLineIndex(pointer.y(), size, pan.height()) * size + pan.height(), size, size);
    return labelPlacement(labelSize(grid.quickRenumberNext(), context().font(), context().logicalDpi()),
                          pointer, target, context().viewRect());
}

QRect QuickRenumberTool::pointerOverlayArea(QPointF pointer) const {
    // With a margin for the anti-aliased edge.
    return labelRect(pointer).toAlignedRect().adjusted(-2, -2, 2, 2);
}

void QuickRenumberTool::paintOverlay(QPainter& painter, const SystemColors& colors,
                                     std::optional<QPointF> pointer) const {
    if (!pointer)
        return;
    const QFont base = painter.font();
    const int dpi = logicalDpi(painter);
    const QRectF label = labelRect(*pointer);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colors.accent);
    painter.drawRoundedRect(label, 4, 4);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::white);
    painter.setFont(labelFont(base, dpi));
    painter.drawText(label.adjusted(5, 2.5, -5, -2.5), Qt::TextSingleLine,
                     labelText(model().quickRenumberNext()));
    painter.setFont(base);
}

} // namespace pexlora
