// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/CanvasTool.h"

namespace pexlora {

// Edit mode's Renumber tool: a click on a cell opens its renumber popover.
class RenumberTool final : public CanvasTool {
public:
    using CanvasTool::CanvasTool;
    void pressed(const PointerEvent& event) override;
    Qt::CursorShape cursor() const override { return Qt::IBeamCursor; }
};

} // namespace pexlora
