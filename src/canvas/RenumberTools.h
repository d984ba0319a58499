#pragma once

#include "canvas/CanvasTool.h"

#include <QPointF>

namespace pexlora {

// Edit mode's Renumber tool: a click on a cell opens its renumber popover.
class RenumberTool final : public CanvasTool {
public:
    using CanvasTool::CanvasTool;
    void pressed(const PointerEvent& event) override;
    Qt::CursorShape cursor() const override { return Qt::IBeamCursor; }
};

// Edit mode's Quick # tool: every click gives the cell the next number; the
// canvas shows the number it will give beside the pointer.
class QuickRenumberTool final : public CanvasTool {
public:
    using CanvasTool::CanvasTool;
    void pressed(const PointerEvent& event) override;
    Qt::CursorShape cursor() const override { return Qt::CrossCursor; }
};

} // namespace pexlora
