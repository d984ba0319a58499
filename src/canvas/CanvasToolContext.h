// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QPointF>
#include <QRectF>

namespace pexlora {

struct GridElement;
class GridViewModel;
class RenumberSession;

// What a canvas tool may reach of the canvas it works on: the model it edits,
// the cell under a point, the renumber popover, and a repaint. Tools see no
// widget, so a test can drive one on a fake.
class CanvasToolContext {
public:
    virtual ~CanvasToolContext() = default;

    // Only called while the canvas shows a model.
    virtual GridViewModel& model() const = 0;
    // The cell whose square holds the point, as the canvas hit-tests it.
    virtual const GridElement* hitElement(QPointF point) const = 0;
    virtual RenumberSession& renumberSession() const = 0;
    // After a change to what a tool's overlay shows.
    virtual void repaint() = 0;
    // What the canvas draws text in, for sizing an overlay before it is painted.
    virtual QFont font() const = 0;
    virtual int logicalDpi() const = 0;
    // The part of the canvas the user sees, in canvas coordinates.
    virtual QRectF viewRect() const = 0;
};

} // namespace pexlora
