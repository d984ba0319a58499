#pragma once

#include <QPointF>
#include <Qt>

class QKeyEvent;

namespace pexlora {

class GridCanvasView;
class GridViewModel;

// One pointer event as the tools see it, in canvas coordinates.
struct PointerEvent {
    QPointF position;
    Qt::KeyboardModifiers modifiers;
    int clickCount = 1; // 2 for the second press of a double click
};

// What the pointer does in one mode or with one edit tool. The canvas keeps
// geometry, drawing and dispatch, and hands each event to the tool of the
// current mode and tool; a tool keeps the state of its own drag.
class CanvasTool {
public:
    explicit CanvasTool(GridCanvasView& canvas)
        : m_canvas(canvas) {}
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
    // Called for a key press the canvas did not take; returns whether the tool did.
    virtual bool keyPressed(QKeyEvent&) { return false; }
    // Called when the mode or tool changes away from this tool, so that a drag
    // under way leaves nothing behind.
    virtual void cancel() {}
    virtual Qt::CursorShape cursor() const { return Qt::ArrowCursor; }

protected:
    GridCanvasView& canvas() const { return m_canvas; }
    GridViewModel& model() const;

private:
    GridCanvasView& m_canvas;
};

} // namespace pexlora
