// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/CanvasGeometry.h"
#include "canvas/CanvasToolContext.h"

#include <QPointF>
#include <QRect>
#include <Qt>
#include <optional>

class QPainter;

namespace pexlora {

struct SystemColors;

// One pointer event as the tools see it, in canvas coordinates.
struct PointerEvent {
    QPointF position;
    Qt::KeyboardModifiers modifiers;
    int clickCount = 1; // 2 for the second press of a double click
};

// What the pointer does in one mode or with one edit tool. The canvas keeps
// geometry, drawing and dispatch, and hands each event to the tool of the
// current mode and tool; a tool keeps the state of its own drag and paints
// what that drag adds to the picture.
class CanvasTool {
public:
    explicit CanvasTool(CanvasToolContext& context)
        : m_context(context) {}
    virtual ~CanvasTool() = default;
    CanvasTool(const CanvasTool&) = delete;
    CanvasTool& operator=(const CanvasTool&) = delete;

    // Called when a button goes down on the canvas.
    virtual void pressed(const PointerEvent& event) = 0;
    // Called when the pointer moves with the button held, after pressed().
    virtual void dragged(const PointerEvent&) {}
    // Called when the button is let go.
    virtual void released(const PointerEvent&) {}
    // Called when the pointer moves over the canvas with no button held.
    virtual void hovered(QPointF) {}
    // Called when the modifier keys held change, before the pointer moves.
    virtual void modifiersChanged(Qt::KeyboardModifiers) {}
    // Called when the mode or tool changes away from this tool, so that a drag
    // under way leaves nothing behind.
    virtual void cancel() {}
    virtual Qt::CursorShape cursor() const { return Qt::ArrowCursor; }

    // Called after the cells are painted, clipped to what is repainted;
    // `pointer` is where the pointer is while it is over the canvas.
    virtual void paintOverlay(QPainter&, const SystemColors&, std::optional<QPointF> /*pointer*/) const {}
    // Where an overlay that follows the pointer stands, so that the canvas
    // repaints only where it was and where it is.
    virtual QRect pointerOverlayArea(QPointF) const { return {}; }
    // Whether the overlay stands still on the view while the grid pans under
    // it, so that the canvas cannot shift what the screen shows.
    virtual bool overlayFixedToView() const { return false; }
    // Columns and rows a drag under way carries the edit selection by: the
    // cells are painted there instead of where they stand.
    virtual std::optional<GridOffset> selectionDragOffset() const { return std::nullopt; }
    // Whether letting go of that drag here would be refused: its cells are then
    // drawn as outlines only, over whatever they would land on.
    virtual bool selectionDragRefused() const { return false; }

protected:
    CanvasToolContext& context() const { return m_context; }
    GridViewModel& model() const { return m_context.model(); }

private:
    CanvasToolContext& m_context;
};

} // namespace pexlora
